#include "frame_sequence.h"

#include <algorithm>

#include "frame_context.h"
#include "model/post_target.h"
#include "model/project.h"

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
    return static_cast<std::int64_t>(2.0 * static_cast<double>(g) * tempo / 60.0 / fps);
}

VideoTiming videoTiming(const Project& project, const ProjectSettings& settings) {
    VideoTiming timing{};
    timing.tempo = effectiveTempo(settings);
    // Taken as stored, as the frame arithmetic has it; only a rate that would divide by zero
    // (a damaged project) is raised to one frame a second.
    timing.fps = std::max(settings.fps, 1);
    timing.columns = std::max(project.columnCount(-1), 1);
    timing.songFrames = static_cast<std::int64_t>(
        timing.fps * (static_cast<double>(timing.columns) / timing.tempo * 60.0));
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
    writeRepeated(-1);  // the lead-in picture, for one second
    for (std::int64_t g = 0; ok && !stopped && g < timing.songFrames; ++g) {
        if (g % 10 == 0) progress.reached(timing.framePosition(g), g);
        if (g % 50 == 0 && progress.stopRequested()) {
            stopped = true;
            break;
        }
        ok = output.addFrame(frames.at(timing.framePosition(g)), false);
    }
    if (ok && !stopped) {
        writeRepeated(2 * timing.columns - 1);  // the end picture, for one second
        if (ok && !stopped) progress.reached(2 * timing.columns, timing.songFrames);
    }
    if (stopped) return kExportCancelled;
    return ok ? kExportSuccess : kExportFailure;
}

}  // namespace lantrel
