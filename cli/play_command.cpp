#include "play_command.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>
#include <ostream>
#include <thread>

#include "argument_parsing.h"
#include "audio/sdl_wave_device.h"
#include "command_line.h"
#include "interrupt_watch.h"
#include "model/vtq_gui_doc.h"
#include "session/playback_session.h"

namespace lantrel {

namespace {

using Clock = std::chrono::steady_clock;

// Where the player's worker posts the position; the verb's thread reads the latest one.
class PositionBoard final : public PostTarget {
  public:
    void post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t) override {
        if (message == kMessagePlayPosition) halfBeat_.store(static_cast<long long>(wParam));
    }
    long long latest() const { return halfBeat_.load(); }

  private:
    std::atomic<long long> halfBeat_{-1};
};

struct PlayArguments {
    std::filesystem::path project;
    int from = 0;
    std::optional<double> seconds;
    bool loop = true;
};

// The option's value, or a complaint in `problem`.
std::optional<std::string> optionValue(std::span<const std::string> args, std::size_t& i,
                                       std::string& problem) {
    if (i + 1 < args.size()) return args[++i];
    problem = args[i] + " needs a value";
    return std::nullopt;
}

std::string parseOption(std::span<const std::string> args, std::size_t& i, PlayArguments& parsed) {
    const std::string& arg = args[i];
    std::string problem;
    if (arg == "--no-loop") {
        parsed.loop = false;
    } else if (arg == "--from") {
        const auto value = optionValue(args, i, problem);
        const auto column = value ? parseNumber<int>(*value) : std::nullopt;
        if (column && *column >= 0)
            parsed.from = *column;
        else if (value)
            problem = "--from needs a column number 0 or more";
    } else if (arg == "--seconds") {
        const auto value = optionValue(args, i, problem);
        const auto seconds = value ? parseNumber<double>(*value) : std::nullopt;
        if (seconds && *seconds > 0 && *seconds < 1e9)
            parsed.seconds = *seconds;
        else if (value)
            problem = "--seconds needs a number of seconds above 0";
    } else {
        problem = "unknown option '" + arg + "'";
    }
    return problem;
}

std::optional<PlayArguments> parseArguments(std::span<const std::string> args, std::ostream& err) {
    PlayArguments parsed;
    bool haveProject = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string problem;
        if (args[i].starts_with("-")) {
            problem = parseOption(args, i, parsed);
        } else if (!haveProject) {
            parsed.project = args[i];
            haveProject = true;
        } else {
            problem = "only one project can be played";
        }
        if (!problem.empty()) {
            usageError(err, "play", problem);
            return std::nullopt;
        }
    }
    if (!haveProject) usageError(err, "play", "no project given");
    return haveProject ? std::optional(parsed) : std::nullopt;
}

void explainIncompleteLane(const PrepareFailure& failure, const ProjectSettings& settings,
                           std::span<const std::filesystem::path> folders, std::ostream& err) {
    if (!failure.problem.empty()) {
        err << "lantrel play: " << failure.problem << "; nothing was played\n";
        return;
    }
    const auto lane = static_cast<std::size_t>(std::clamp(failure.lane, 0, kLaneCount - 1));
    const std::string& folder = settings.lanes[lane].waveFolder;
    err << "lantrel play: the " << kLaneNames[lane]
        << " lane's sounds are incomplete: " << failure.missingSounds << " of " << kSoundCount
        << " could not be loaded from ";
    if (!folder.empty()) err << "its WAV folder '" << folder << "' or ";
    err << "the resource folder";
    for (std::size_t i = 0; i < folders.size(); ++i)
        err << (i == 0 ? " '" : (i + 1 == folders.size() ? "' or '" : "', '"))
            << folders[i].string();
    err << "'; nothing was played\n";
}

// What playing looks like from the command line: the live line and the reason it ended.
class LivePosition {
  public:
    LivePosition(const Player& player, const PositionBoard& board, const ProjectSettings& settings,
                 int columns)
        : player_(player),
          board_(board),
          tempo_(effectiveTempo(settings)),
          fourFour_(settings.fourFour),
          lastHalfBeat_(2LL * columns - 1) {}

    // Waits until the time is up, the pass has played out, or Ctrl+C.
    void wait(std::optional<double> seconds, InterruptWatch& interrupts, std::ostream& err) {
        const bool live = ::isatty(STDERR_FILENO) == 1;
        const auto deadline = seconds ? Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                           std::chrono::duration<double>(*seconds))
                                      : Clock::time_point::max();
        std::string shown;
        while (!interrupts.interrupted() && player_.isPlaying() && Clock::now() < deadline) {
            const auto step =
                std::min<Clock::duration>(std::chrono::milliseconds(50), deadline - Clock::now());
            std::this_thread::sleep_for(step);
            if (live && position() != shown) {
                shown = position();
                err << '\r' << shown << "\x1b[K" << std::flush;
            }
        }
        if (live) err << '\n';
    }

    // As the window shows it: never past the arrangement's last half-beat.
    std::string position() const {
        return describePlayPosition(std::min(board_.latest(), lastHalfBeat_), tempo_, fourFour_);
    }

  private:
    const Player& player_;
    const PositionBoard& board_;
    int tempo_;
    bool fourFour_;
    long long lastHalfBeat_;
};

}  // namespace

std::string describePlayPosition(long long halfBeat, int tempo, bool fourFour) {
    const long long column = std::max(halfBeat, 0LL) / 2;
    const int beats = fourFour ? 4 : 3;
    const double seconds = static_cast<double>(std::max(halfBeat, 0LL)) * 30.0 / std::max(tempo, 1);
    const auto minutes = static_cast<long long>(seconds / 60.0);
    char text[96];
    std::snprintf(text, sizeof text, "bar %lld beat %lld  %lld:%04.1f", column / beats + 1,
                  column % beats + 1, minutes, seconds - 60.0 * static_cast<double>(minutes));
    return text;
}

int runPlayCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err,
                   const PlayCommandOptions& options) {
    const auto parsed = parseArguments(args, err);
    if (!parsed) return kExitUsage;

    CVtqGuiDoc document;
    const DocumentFileResult opened = document.open(parsed->project);
    if (!opened.ok()) {
        err << "lantrel play: " << opened.message << '\n';
        return kExitFailure;
    }
    const int columns = document.columnCount(-1);
    if (columns <= 0) {
        err << "lantrel play: the arrangement is empty; there is nothing to play\n";
        return kExitFailure;
    }
    InterruptWatch interrupts;  // before the player's and SDL's threads start
    PositionBoard board;        // outlives the player, whose worker posts to it
    PlaybackSession playback(std::make_unique<SdlWaveDevice>(), options.resourceFolders);
    const ProjectSettings settings = document.settings();
    const PlayStart start = playback.play(document, board, parsed->from, parsed->loop);
    if (start.outcome == PlayStart::Outcome::SoundsIncomplete) {
        explainIncompleteLane(start.sounds, settings, playback.resourceFolders(), err);
        return kExitFailure;
    }
    if (!start.started()) {
        err << "lantrel play: the playback thread could not be started\n";
        return kExitFailure;
    }
    out << "playing " << parsed->project.string() << " from column " << start.startColumn
        << (parsed->loop ? ", in a loop" : "") << "; Ctrl+C stops" << std::endl;

    LivePosition live(playback.player(), board, settings, columns);
    live.wait(parsed->seconds, interrupts, err);
    playback.stop();
    if (playback.player().outputFailed()) {
        err << "lantrel play: " << playback.player().outputError() << '\n';
        return kExitFailure;
    }
    out << "stopped at " << live.position() << '\n';
    return interrupts.interrupted() ? exitStatusForSignal(interrupts.signalNumber()) : kExitSuccess;
}

}  // namespace lantrel
