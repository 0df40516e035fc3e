#include "export_command.h"

#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <optional>
#include <ostream>
#include <thread>

#include "audio/audio_writer.h"
#include "command_line.h"
#include "message_queue.h"
#include "model/vtq_gui_doc.h"
#include "progress_bar.h"

namespace lantrel {

namespace {

constexpr const char* kUsage =
    "usage: lantrel export PROJECT.vtm --no-video [--out-dir DIR] [--name NAME]\n"
    "                      [--rate 22050|44100] [--mono|--stereo]\n";

struct ExportArguments {
    std::filesystem::path project;
    std::optional<std::filesystem::path> outDir;
    std::optional<std::string> name;
    std::optional<int> rate;
    std::optional<bool> stereo;
    std::optional<bool> video;
};

std::optional<ExportArguments> parseArguments(std::span<const std::string> args,
                                              std::ostream& err) {
    ExportArguments parsed;
    bool haveProject = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        std::string problem;
        if (arg == "--out-dir" && hasValue)
            parsed.outDir = args[++i];
        else if (arg == "--name" && hasValue)
            parsed.name = args[++i];
        else if (arg == "--rate" && hasValue) {
            const std::string& value = args[++i];
            if (value == "22050" || value == "44100")
                parsed.rate = std::stoi(value);
            else
                problem = "--rate must be 22050 or 44100";
        } else if (arg == "--mono" || arg == "--stereo")
            parsed.stereo = arg == "--stereo";
        else if (arg == "--video" || arg == "--no-video")
            parsed.video = arg == "--video";
        else if (arg.starts_with("-"))
            problem = "unknown option or missing value: '" + arg + "'";
        else if (!haveProject)
            parsed.project = arg, haveProject = true;
        else
            problem = "more than one project given";
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

// Where the files go: the options first, then the project's own output settings, then the
// current directory and the project file's name.
std::filesystem::path outputBase(const ExportArguments& args, const ProjectSettings& settings,
                                 std::ostream& err) {
    std::filesystem::path folder = std::filesystem::current_path();
    if (args.outDir) {
        folder = *args.outDir;
    } else if (isWindowsPath(settings.outputFolder)) {
        err << "lantrel export: the project's output folder " << settings.outputFolder
            << " is a Windows path; writing to the current folder instead\n";
    } else if (!settings.outputFolder.empty()) {
        folder = settings.outputFolder;
    }
    const std::string name =
        args.name ? *args.name
                  : (settings.fileName.empty() ? args.project.stem().string() : settings.fileName);
    return folder / name;
}

// Runs the writer on a worker thread, as the window will, and draws its progress messages.
int runWithProgress(const CVtqGuiDoc& document, const ProjectSettings& settings,
                    const std::filesystem::path& wavPath, std::string& error) {
    MessageQueue queue;
    int result = kExportFailure;
    std::thread worker([&] {
        result = writeExportAudio(document.project(), settings, wavPath, queue, error);
        queue.post(kMessageExportEnded, static_cast<std::uintptr_t>(result), 0);
    });
    const bool drawBar = ::isatty(STDERR_FILENO) != 0;
    ProgressBar bar("audio", "s", 1.0 / outputSampleRate(settings));
    for (;;) {
        const auto message = queue.take(std::chrono::milliseconds(200));
        if (!message) continue;
        if (message->message == kMessageExportEnded) break;
        if (message->message == kMessageAudioProgress && drawBar) {
            bar.update(static_cast<std::int64_t>(message->wParam), message->lParam);
            std::fprintf(stderr, "\r%s\x1b[K", bar.line().c_str());
        }
    }
    worker.join();
    if (drawBar) std::fprintf(stderr, "\n");
    return result;
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
    ProjectSettings settings = document.settings();
    if (parsed->rate) settings.sampleRate = *parsed->rate;
    if (parsed->stereo) settings.stereo = *parsed->stereo;
    if (parsed->video.value_or(settings.videoOn)) {
        err << "lantrel export: video export is not available yet; add --no-video for the sound "
               "only\n";
        return kExitFailure;
    }
    const std::filesystem::path base = outputBase(*parsed, settings, err);
    std::error_code ignored;
    std::filesystem::create_directories(base.parent_path(), ignored);
    const std::filesystem::path wavPath = base.string() + ".wav";

    const auto started = std::chrono::steady_clock::now();
    std::string error;
    if (runWithProgress(document, settings, wavPath, error) != kExportSuccess) {
        err << "lantrel export: " << error << '\n';
        return kExitFailure;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    char summary[96];
    std::snprintf(summary, sizeof summary, " (%s, %d Hz) in %.1f s\n",
                  settings.stereo ? "stereo" : "mono", outputSampleRate(settings), seconds);
    out << "wrote " << wavPath.string() << summary;
    return kExitSuccess;
}

}  // namespace lantrel
