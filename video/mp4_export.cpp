#include "mp4_export.h"

#include "audio/export_sound.h"
#include "frame_sequence.h"
#include "model/post_target.h"
#include "screen_image.h"

namespace lantrel {

namespace {

// Takes the frames as they come and, after each second of them, the next second of the sound.
class Mp4Frames final : public FrameOutput {
  public:
    Mp4Frames(Mp4Writer& writer, ExportSound& sound, int fps)
        : writer_(writer), sound_(sound), fps_(fps) {}
    bool addFrame(const QImage& picture, bool) override {
        if (!writer_.addFrame(screenPictureOf(picture))) return false;
        return ++frames_ % fps_ != 0 || addSecondOfSound();
    }
    // The sound runs a little past the last frame (the video's length is truncated to whole
    // frames), and whatever the frames left of it comes here.
    bool addRestOfSound() {
        while (!sound_.done())
            if (!addSecondOfSound()) return false;
        return true;
    }

  private:
    bool addSecondOfSound() {
        const auto block = sound_.next();
        return block.empty() || writer_.addAudio(block);
    }

    Mp4Writer& writer_;
    ExportSound& sound_;
    int fps_;
    std::int64_t frames_ = 0;
};

}  // namespace

int writeExportMp4(const MovieExportJob& job, const std::filesystem::path& path,
                   std::string& error) {
    ExportSound sound;
    if (!sound.prepare(*job.project, job.settings, job.resourceFolders, Timeline::kAllLanes, error))
        return kExportFailure;
    const Mp4Options options = mp4OptionsFor(job.settings, job.extras);
    const auto writer = Mp4Writer::create(path, options, error);
    if (!writer) return kExportFailure;
    Mp4Frames frames(*writer, sound, options.fps);
    const int result = writeFrameSequence(job, frames);
    if (result == kExportSuccess && frames.addRestOfSound() && writer->finish())
        return kExportSuccess;
    if (result != kExportCancelled) error = writer->error();
    writer->abandon();
    return result == kExportCancelled ? kExportCancelled : kExportFailure;
}

}  // namespace lantrel
