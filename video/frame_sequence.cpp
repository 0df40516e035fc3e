#include "frame_sequence.h"

#include "frame_context.h"
#include "model/post_target.h"

namespace lantrel {

namespace {

// Draws pictures of the score screen, with its own sprites.
class FrameMaker {
  public:
    explicit FrameMaker(const MovieExportJob& job)
        : context_(job.resourceFolders), picture_(makeScreenImage()) {
        context_.attach(*job.project);
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

int writeFrameSequence(const MovieExportJob& job, FrameOutput& output) {
    const VideoTiming timing = videoTiming(*job.project, job.settings);
    FrameMaker frames(job);
    bool ok = true;
    bool stopped = false;
    // A stored frame rate may be high, so a second of one picture is polled for a cancel too.
    auto writeRepeated = [&](std::int64_t position) {
        const QImage& picture = frames.at(position);
        for (int i = 0; ok && !stopped && i < timing.fps; ++i) {
            stopped = i % 50 == 49 && job.cancelRequested();
            ok = stopped || output.addFrame(picture, i > 0);
        }
    };
    writeRepeated(-1);  // the lead-in picture, for one second
    for (std::int64_t g = 0; ok && !stopped && g < timing.songFrames; ++g) {
        if (g % 10 == 0) job.post(kMessageVideoProgress, timing.framePosition(g), g);
        if (g % 50 == 0 && job.cancelRequested()) {
            stopped = true;
            break;
        }
        ok = output.addFrame(frames.at(timing.framePosition(g)), false);
    }
    if (ok && !stopped) {
        writeRepeated(2 * timing.columns - 1);  // the end picture, for one second
        if (ok && !stopped) job.post(kMessageVideoProgress, 2 * timing.columns, timing.songFrames);
    }
    if (stopped) return kExportCancelled;
    return ok ? kExportSuccess : kExportFailure;
}

}  // namespace lantrel
