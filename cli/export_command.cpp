#include "export_command.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <ostream>

#include "argument_parsing.h"
#include "base/output_name.h"
#include "command_line.h"
#include "interrupt_watch.h"
#include "message_queue.h"
#include "model/vtq_gui_doc.h"
#include "progress_bar.h"
#include "session/export_session.h"
#include "video/movie_export.h"

namespace lantrel {

namespace {

constexpr const char* kUsage =
    "usage: lantrel export PROJECT.vtm [--out-dir DIR] [--name NAME] [--video|--no-video]\n"
    "                      [--audio|--no-audio] [--join|--no-join] [--fps N]\n"
    "                      [--rate 22050|44100] [--mono|--stereo]\n";

struct ExportArguments {
    std::filesystem::path project;
    std::optional<std::filesystem::path> outDir;
    std::optional<std::string> name;
    std::optional<int> rate;
    std::optional<int> fps;
    std::optional<bool> stereo;
    std::optional<bool> video;
    std::optional<bool> audio;
    std::optional<bool> join;
};

// Handles one option; returns what is wrong with it, or an empty text.
std::string parseOption(std::span<const std::string> args, std::size_t& i,
                        ExportArguments& parsed) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    auto flag = [&](const char* name, std::optional<bool>& into) {
        if (arg == std::string("--") + name)
            into = true;
        else if (arg == std::string("--no-") + name)
            into = false;
        else
            return false;
        return true;
    };
    if (flag("video", parsed.video) || flag("audio", parsed.audio) || flag("join", parsed.join))
        return {};
    if (arg == "--mono" || arg == "--stereo") {
        parsed.stereo = arg == "--stereo";
        return {};
    }
    if (!hasValue) return "unknown option or missing value: '" + arg + "'";
    const std::string& value = args[++i];
    if (arg == "--out-dir") {
        if (value.empty()) return "--out-dir needs a folder";
        parsed.outDir = value;
    } else if (arg == "--name")
        parsed.name = value;
    else if (arg == "--rate") {
        parsed.rate = parseNumber<int>(value);
        if (parsed.rate != 22050 && parsed.rate != 44100) return "--rate must be 22050 or 44100";
    } else if (arg == "--fps") {
        parsed.fps = parseNumber<int>(value);
        if (!parsed.fps || *parsed.fps < 1 || *parsed.fps > 60) return "--fps must be 1 to 60";
    } else {
        return "unknown option '" + arg + "'";
    }
    return {};
}

std::optional<ExportArguments> parseArguments(std::span<const std::string> args,
                                              std::ostream& err) {
    ExportArguments parsed;
    bool haveProject = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string problem;
        if (args[i].starts_with("-"))
            problem = parseOption(args, i, parsed);
        else if (haveProject)
            problem = "more than one project given";
        else
            parsed.project = args[i], haveProject = true;
        if (!problem.empty()) {
            err << "lantrel export: " << problem << '\n' << kUsage;
            return std::nullopt;
        }
    }
    if (!haveProject || (parsed.name && parsed.name->empty())) {
        err << kUsage;
        return std::nullopt;
    }
    return parsed;
}

// A folder stored by the Windows version of the program ("C:\\songs") means nothing here.
bool isWindowsPath(const std::string& folder) {
    return folder.size() >= 2 && std::isalpha(static_cast<unsigned char>(folder[0])) &&
           folder[1] == ':';
}

// The run's settings: the project's, overridden by the options. Files go to the option's
// folder, else the project's own output folder, else the current one; they are named after
// the option, else the project's file name, else the project file.
ProjectSettings exportSettings(const ExportArguments& args, ProjectSettings settings,
                               std::ostream& err) {
    if (args.rate) settings.sampleRate = *args.rate;
    if (args.fps) settings.fps = *args.fps;
    if (args.stereo) settings.stereo = *args.stereo;
    if (args.video) settings.videoOn = *args.video;
    if (args.audio) settings.audioOn = *args.audio;
    if (args.join) settings.join = *args.join;
    std::filesystem::path folder = std::filesystem::current_path();
    if (args.outDir) {
        folder = std::filesystem::absolute(*args.outDir);
    } else if (isWindowsPath(settings.outputFolder)) {
        err << "lantrel export: the project's output folder " << settings.outputFolder
            << " is a Windows path; writing to the current folder instead\n";
    } else if (!settings.outputFolder.empty()) {
        folder = settings.outputFolder;
    }
    settings.outputFolder = folder.string();
    if (args.name)
        settings.fileName = *args.name;
    else if (settings.fileName.empty())
        settings.fileName = args.project.stem().string();
    return settings;
}

// Why the run cannot write its files, or an empty text: a name that would reach outside the
// folder, or a folder that is not there. The folder is never created: a typing slip in a
// stored path should not leave new folders around.
std::string outputProblem(const ProjectSettings& settings) {
    if (std::string problem = outputNameProblem(settings); !problem.empty()) return problem;
    const std::filesystem::path folder = movieFolder(settings);
    std::error_code code;
    if (std::filesystem::is_directory(folder, code)) return {};
    return "the output folder " + printableText(folder.string()) +
           (std::filesystem::exists(folder, code) ? " is not a folder" : " does not exist");
}

// Draws the progress line of the phase that is running, from the posted messages.
class ExportProgress {
  public:
    ExportProgress(const ProjectSettings& settings, std::int64_t videoFrames, std::ostream& err)
        : err_(err),
          draw_(::isatty(STDERR_FILENO) != 0),
          videoFrames_(videoFrames),
          video_("video", "frames", 1.0),
          audio_("audio", "s", 1.0 / outputSampleRate(settings)),
          join_("join ", "frames", 1.0) {}
    ~ExportProgress() {
        if (drawn_) err_ << '\n' << std::flush;
    }
    void show(const PostedMessage& message) {
        if (!draw_) return;
        ProgressBar* bar = message.message == kMessageVideoProgress   ? &video_
                           : message.message == kMessageAudioProgress ? &audio_
                           : message.message == kMessageJoinProgress  ? &join_
                                                                      : nullptr;
        if (!bar) return;
        const bool audio = bar == &audio_;
        bar->update(audio ? static_cast<std::int64_t>(message.wParam) : message.lParam,
                    audio ? message.lParam : videoFrames_);
        err_ << '\r' << bar->line() << "\x1b[K" << std::flush;
        drawn_ = true;
    }

  private:
    std::ostream& err_;
    bool draw_;
    bool drawn_ = false;
    std::int64_t videoFrames_;
    ProgressBar video_, audio_, join_;
};

// Runs the export to its end. `cancelSignal` is the signal that asked it to stop (Ctrl+C, a
// closed terminal, a shutdown), or 0.
int runExport(CVtqGuiDoc& document, const ProjectSettings& settings, std::ostream& err,
              std::string& error, int& cancelSignal) {
    MessageQueue queue;
    // Before the worker starts, so that it never takes a signal itself.
    InterruptWatch interrupts;
    ExportSession session(document);
    if (!session.start(settings, queue)) {
        error = "the export thread could not be started";
        return kExportFailure;
    }
    const VideoTiming timing = videoTiming(document.project(), settings);
    ExportProgress progress(settings, timing.songFrames + 2 * std::int64_t{timing.fps}, err);
    for (;;) {
        if (cancelSignal == 0 && interrupts.interrupted()) {
            session.cancel();
            cancelSignal = interrupts.signalNumber();
        }
        const auto message = queue.take(std::chrono::milliseconds(100));
        if (!message) continue;
        if (message->message == kMessageExportEnded) break;
        progress.show(*message);
    }
    const int result = session.finish();
    error = session.error();
    return result;
}

std::string summary(const ProjectSettings& settings, double seconds) {
    const MoviePaths paths = moviePaths(settings);
    std::string files;
    auto add = [&files](const std::filesystem::path& path) {
        files += (files.empty() ? "" : " and ") + path.string();
    };
    if (settings.join)
        add(paths.joined);
    else if (settings.videoOn)
        add(paths.video);
    if (settings.audioOn && !settings.join) add(paths.audio);
    char tail[64];
    std::snprintf(tail, sizeof tail, " in %.1f s\n", seconds);
    return "wrote " + files + tail;
}

}  // namespace

int runExportCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    const auto parsed = parseArguments(args, err);
    if (!parsed) return kExitUsage;
    CVtqGuiDoc document;
    if (const auto opened = document.open(parsed->project); !opened.ok()) {
        err << "lantrel export: " << opened.message << '\n';
        return kExitFailure;
    }
    const ProjectSettings settings = exportSettings(*parsed, document.settings(), err);
    if (!settings.videoOn && !settings.audioOn) {
        err << "lantrel export: nothing to export: video and sound are both off\n";
        return kExitUsage;
    }
    if (const std::string problem = outputProblem(settings); !problem.empty()) {
        err << "lantrel export: " << problem << '\n';
        return kExitFailure;
    }

    const auto started = std::chrono::steady_clock::now();
    std::string error;
    int cancelSignal = 0;
    const int result = runExport(document, settings, err, error, cancelSignal);
    if (result == kExportCancelled) {
        err << "lantrel export: cancelled by " << signalName(cancelSignal) << '\n';
        return exitStatusForSignal(cancelSignal);
    }
    if (result != kExportSuccess) {
        err << "lantrel export: " << (error.empty() ? "the export failed" : error) << '\n';
        return kExitFailure;
    }
    if (cancelSignal != 0)
        err << "lantrel export: the sound was finished before the cancel could stop it\n";
    out << summary(
        settings,
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    return kExitSuccess;
}

}  // namespace lantrel
