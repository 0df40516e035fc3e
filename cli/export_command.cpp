#include "export_command.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <ostream>
#include <vector>

#include "argument_parsing.h"
#include "base/output_name.h"
#include "command_line.h"
#include "interrupt_watch.h"
#include "message_queue.h"
#include "model/export_rounds.h"
#include "model/vtq_gui_doc.h"
#include "progress_bar.h"
#include "screen_font_check.h"
#include "session/export_session.h"
#include "video/movie_export.h"

namespace lantrel {

namespace {

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
    ExtraOutputs extras;
    bool encoderOption = false;  // --scale, --crf, --preset or --pad-16x9
    bool fontSubstituteAllowed = false;
};

// The switches of the extras, which take no value.
bool parseExtraSwitch(const std::string& arg, ExportArguments& parsed) {
    if (arg == "--mp4")
        parsed.extras.mp4 = true;
    else if (arg == "--stems")
        parsed.extras.stems = true;
    else if (arg == "--flac")
        parsed.extras.flac = true;
    else if (arg == "--pad-16x9")
        parsed.extras.mp4Options.pad16x9 = parsed.encoderOption = true;
    else
        return false;
    return true;
}

// The MP4 encoder's options with a value; false when `arg` is none of them.
bool parseEncoderOption(const std::string& arg, const std::string& value, ExportArguments& parsed,
                        std::string& problem) {
    Mp4Options& options = parsed.extras.mp4Options;
    if (arg == "--scale") {
        const auto scale = parseNumber<int>(value);
        if (!scale || *scale < 1 || *scale > 5) problem = "--scale must be 1 to 5";
        options.scale = scale.value_or(0);
    } else if (arg == "--crf") {
        const auto crf = parseNumber<int>(value);
        if (!crf || *crf < 0 || *crf > 51) problem = "--crf must be 0 to 51";
        options.crf = crf.value_or(0);
    } else if (arg == "--preset") {
        if (value.empty()) problem = "--preset needs the name of an x264 preset";
        options.preset = value;
    } else {
        return false;
    }
    parsed.encoderOption = true;
    return true;
}

// The columns and rounds; what is not a number counts as out of range, and the range is
// checked with the other options, against the arrangement once it is read.
bool parseRoundsOption(const std::string& arg, const std::string& value, ExportRounds& rounds) {
    if (arg == "--loops")
        rounds.loops = parseNumber<int>(value).value_or(0);
    else if (arg == "--fade")
        rounds.fadeSeconds = parseNumber<double>(value).value_or(-1.0);
    else if (arg == "--from")
        rounds.fromColumn = parseNumber<int>(value).value_or(-1);
    else if (arg == "--to")
        rounds.toColumn = parseNumber<int>(value).value_or(-1);
    else
        return false;
    return true;
}

// What is wrong with the combination of options, or an empty text.
std::string combinationProblem(const ExportArguments& parsed) {
    const ExtraOutputs& extras = parsed.extras;
    if (parsed.encoderOption && !extras.mp4)
        return "--scale, --crf, --preset and --pad-16x9 go with --mp4";
    if (extras.mp4 && (parsed.video || parsed.audio || parsed.join))
        return "--mp4 writes one file of picture and sound; --video, --audio and --join do not "
               "apply";
    if (extras.mp4 && extras.flac && !extras.stems)
        return "--flac changes the sound files, and with --mp4 only --stems writes any";
    if (extras.flac && parsed.join.value_or(false))
        return "--flac and --join do not go together: the AVI holds its sound as PCM";
    return exportRoundsProblem(extras.rounds);
}

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
    if (flag("video", parsed.video) || flag("audio", parsed.audio) || flag("join", parsed.join) ||
        parseExtraSwitch(arg, parsed))
        return {};
    if (arg == "--mono" || arg == "--stereo") {
        parsed.stereo = arg == "--stereo";
        return {};
    }
    if (arg == kAllowFontSubstitute) {
        parsed.fontSubstituteAllowed = true;
        return {};
    }
    if (!hasValue) return "unknown option or missing value: '" + arg + "'";
    const std::string& value = args[++i];
    if (std::string problem; parseEncoderOption(arg, value, parsed, problem)) return problem;
    if (parseRoundsOption(arg, value, parsed.extras.rounds)) return {};
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
            usageError(err, "export", problem);
            return std::nullopt;
        }
    }
    std::string problem = combinationProblem(parsed);
    if (!haveProject) problem = "no project given";
    if (parsed.name && parsed.name->empty()) problem = "--name needs a file name";
    if (!problem.empty()) {
        usageError(err, "export", problem);
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
std::string outputProblem(const ProjectSettings& settings, const ExtraOutputs& extras) {
    if (std::string problem = outputNameProblem(settings); !problem.empty()) return problem;
    if (std::string problem = extraOutputsProblem(settings, extras); !problem.empty())
        return problem;
    const std::filesystem::path folder = movieFolder(settings);
    std::error_code code;
    if (std::filesystem::is_directory(folder, code)) return {};
    return "the output folder " + printableText(folder.string()) +
           (std::filesystem::exists(folder, code) ? " is not a folder" : " does not exist");
}

// Draws the progress line of the phase that is running, from the posted messages. The video's
// messages count the song's frames, the join's every frame of the movie.
class ExportProgress {
  public:
    ExportProgress(const ProjectSettings& settings, const VideoTiming& timing, std::ostream& err)
        : err_(err),
          draw_(::isatty(STDERR_FILENO) != 0),
          songFrames_(timing.allSongFrames()),
          movieFrames_(timing.movieFrames()),
          video_("video", "frames", 1.0, 0),
          audio_("audio", "s", 1.0 / outputSampleRate(settings), 1),
          join_("join ", "frames", 1.0, 0) {}
    ~ExportProgress() {
        if (drawn_) err_ << '\n' << std::flush;
    }
    void show(const PostedMessage& message) {
        if (!draw_) return;
        const std::int64_t done = message.lParam;
        if (message.message == kMessageVideoProgress)
            draw(video_, done, songFrames_);
        else if (message.message == kMessageJoinProgress)
            draw(join_, done, movieFrames_);
        else if (message.message == kMessageAudioProgress)
            draw(audio_, static_cast<std::int64_t>(message.wParam), message.lParam);
    }

  private:
    void draw(ProgressBar& bar, std::int64_t done, std::int64_t total) {
        bar.update(done, total);
        err_ << '\r' << bar.line(terminalColumns(STDERR_FILENO)) << "\x1b[K" << std::flush;
        drawn_ = true;
    }

    std::ostream& err_;
    bool draw_;
    bool drawn_ = false;
    std::int64_t songFrames_;
    std::int64_t movieFrames_;
    ProgressBar video_, audio_, join_;
};

// Runs the export to its end. `cancelSignal` is the signal that asked it to stop (Ctrl+C, a
// closed terminal, a shutdown), or 0.
int runExport(CVtqGuiDoc& document, const ProjectSettings& settings, const ExtraOutputs& extras,
              std::ostream& err, std::string& error, int& cancelSignal) {
    MessageQueue queue;
    // Before the worker starts, so that it never takes a signal itself.
    InterruptWatch interrupts;
    ExportSession session(document);
    if (!session.start(settings, queue, extras)) {
        error = "the export thread could not be started";
        return kExportFailure;
    }
    ExportProgress progress(settings, videoTiming(document.project(), settings, extras.rounds),
                            err);
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

// The files a successful run leaves, in the order it wrote them.
std::vector<std::filesystem::path> filesWritten(const ProjectSettings& settings,
                                                const ExtraOutputs& extras) {
    const MoviePaths paths = moviePaths(settings);
    std::vector<std::filesystem::path> files;
    if (extras.mp4) {
        files.push_back(paths.mp4);
    } else {
        if (settings.videoOn && !settings.join) files.push_back(paths.video);
        if (settings.audioOn && !settings.join) files.push_back(soundPath(settings, extras));
        if (settings.join) files.push_back(paths.joined);
    }
    for (int lane = 0; extras.stems && lane < kLaneCount; ++lane)
        files.push_back(soundPath(settings, extras, lane));
    return files;
}

// "7.9 MB", "620 kB": decimal units, as file managers show them.
std::string sizeText(const std::filesystem::path& file) {
    std::error_code code;
    const auto bytes = static_cast<double>(std::filesystem::file_size(file, code));
    char text[32];
    if (code)
        std::snprintf(text, sizeof text, "?");
    else if (bytes >= 1e9)
        std::snprintf(text, sizeof text, "%.2f GB", bytes / 1e9);
    else if (bytes >= 1e6)
        std::snprintf(text, sizeof text, "%.1f MB", bytes / 1e6);
    else
        std::snprintf(text, sizeof text, "%.0f kB", bytes / 1e3);
    return text;
}

// "wrote DIR/NAME.mp4 (7.9 MB) in 7.3 s, 24.7× real time": the speed against the movie's
// own length, a second before and after the song included.
std::string summary(const std::vector<std::filesystem::path>& files, double seconds,
                    double movieSeconds) {
    std::string text = "wrote ";
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (i > 0) text += i + 1 == files.size() ? " and " : ", ";
        text += files[i].string() + " (" + sizeText(files[i]) + ")";
    }
    char tail[96];
    std::snprintf(tail, sizeof tail, " in %.1f s, %.1f× real time\n", seconds,
                  movieSeconds / std::max(seconds, 1e-3));
    return text + tail;
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
    const ExtraOutputs& extras = parsed->extras;
    if (const std::string problem =
            exportRoundsProblem(extras.rounds, document.project().columnCount(-1));
        !problem.empty())
        return usageError(err, "export", problem);
    if (!settings.videoOn && !settings.audioOn && !extras.mp4 && !extras.stems)
        return usageError(err, "export", "nothing to export: video and sound are both off");
    if (const std::string problem = outputProblem(settings, extras); !problem.empty()) {
        err << "lantrel export: " << problem << '\n';
        return kExitFailure;
    }
    const bool drawsFrames = settings.videoOn || extras.mp4;
    if (drawsFrames && !screenFontsReady(parsed->fontSubstituteAllowed, err)) return kExitFailure;

    const auto started = std::chrono::steady_clock::now();
    std::string error;
    int cancelSignal = 0;
    const int result = runExport(document, settings, extras, err, error, cancelSignal);
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
    const VideoTiming timing = videoTiming(document.project(), settings, extras.rounds);
    out << summary(
        filesWritten(settings, extras),
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(),
        static_cast<double>(timing.movieFrames()) / timing.fps);
    return kExitSuccess;
}

}  // namespace lantrel
