#include "frame_sequence.h"

#include <algorithm>
#include <cmath>

#include "frame_context.h"
#include "model/post_target.h"
#include "model/project.h"
#include "model/project_settings.h"

namespace lantrel {

namespace {

// Draws pictures of the score screen, with its own sprites.
class FrameMaker {
  public:
    FrameMaker(const Project& project, std::span<const std::filesystem::path> resourceFolders)
        : context_(resourceFolders), picture_(makeScreenImage()) {
        context_.attach(project);
    }
    const QImage& at(std::int64_t position) {
        RenderFrame(context_.prepare(&picture_, static_cast<int>(position)));
        return picture_;
    }

  private:
    FrameContext context_;
    QImage picture_;
};

}  // namespace

std::int64_t VideoTiming::framePosition(std::int64_t g) const {
    return 2 * std::int64_t{firstColumn} +
           static_cast<std::int64_t>(2.0 * static_cast<double>(g) * tempo / 60.0 / fps);
}

// An exact whole number of frames stays exact: k Na F is a whole number well inside a
// double's precision, and its quotient by R is rounded correctly.
std::int64_t VideoTiming::roundStartFrame(int k) const {
    if (k <= 0) return 0;
    const double frames = static_cast<double>(k * roundSamples * fps) / sampleRate;
    return std::max<std::int64_t>(std::llround(frames), 0);
}

std::int64_t VideoTiming::positionOfFrame(std::int64_t g) const {
    int round = 0;
    if (loops > 1 && roundSamples > 0) {
        const double estimate =
            static_cast<double>(g) * sampleRate / fps / static_cast<double>(roundSamples);
        round = std::clamp(static_cast<int>(estimate), 0, loops - 1);
        while (round > 0 && roundStartFrame(round) > g) --round;
        while (round + 1 < loops && roundStartFrame(round + 1) <= g) ++round;
    }
    return std::min(framePosition(g - roundStartFrame(round)), endPosition());
}

VideoTiming videoTiming(const Project& project, const ProjectSettings& settings,
                        const ExportRounds& rounds) {
    VideoTiming timing{};
    timing.tempo = effectiveTempo(settings);
    // Taken as stored, as the frame arithmetic has it; only a rate that would divide by zero
    // (a damaged project) is raised to one frame a second.
    timing.fps = std::max(settings.fps, 1);
    const int arrangement = project.columnCount(-1);
    timing.firstColumn = std::max(rounds.fromColumn, 0);
    timing.columns = std::max(rounds.endColumn(arrangement) - timing.firstColumn, 1);
    timing.songFrames = static_cast<std::int64_t>(
        timing.fps * (static_cast<double>(timing.columns) / timing.tempo * 60.0));
    timing.loops = std::max(rounds.loops, 1);
    timing.sampleRate = outputSampleRate(settings);
    timing.roundSamples = roundSamples(settings, rounds, arrangement);
    return timing;
}

int writeFrameSequence(const Project& project,
                       std::span<const std::filesystem::path> resourceFolders,
                       const VideoTiming& timing, FrameOutput& output, FrameProgress& progress) {
    FrameMaker frames(project, resourceFolders);
    bool ok = true;
    bool stopped = false;
    // A stored frame rate may be high, so a second of one picture is polled for a cancel too.
    auto writeRepeated = [&](std::int64_t position) {
        const QImage& picture = frames.at(position);
        for (int i = 0; ok && !stopped && i < timing.fps; ++i) {
            stopped = i % 50 == 49 && progress.stopRequested();
            ok = stopped || output.addFrame(picture, i > 0);
        }
    };
    writeRepeated(timing.leadInPosition());
    const std::int64_t songFrames = timing.allSongFrames();
    for (std::int64_t g = 0; ok && !stopped && g < songFrames; ++g) {
        const std::int64_t position = timing.positionOfFrame(g);
        if (g % 10 == 0) progress.reached(position, g);
        if (g % 50 == 0 && progress.stopRequested()) {
            stopped = true;
            break;
        }
        ok = output.addFrame(frames.at(position), false);
    }
    if (ok && !stopped) {
        writeRepeated(timing.endPosition());
        if (ok && !stopped) progress.reached(timing.endPosition() + 1, songFrames);
    }
    if (stopped) return kExportCancelled;
    return ok ? kExportSuccess : kExportFailure;
}

}  // namespace lantrel
