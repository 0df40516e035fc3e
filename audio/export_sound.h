#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/sound_sink.h"
#include "sample_set.h"
#include "timeline.h"

namespace lantrel {

class Project;
struct ProjectSettings;

// The sound of an export as its files hold it: one second of silence, then the mixer's song
// and one second of its decay (Na + 2R sample frames for Na song samples at rate R), handed
// out a second at a time so that memory stays flat however long the song is. The WAV, the
// FLAC, the stems and the MP4 all take their samples from here, so they hold the same ones.
class ExportSound {
  public:
    ExportSound();
    ExportSound(const ExportSound&) = delete;
    ExportSound& operator=(const ExportSound&) = delete;

    // Loads the lanes' sounds as the lanes' folders and `folders` give them (empty: the
    // program's resource folders; missing sounds are silent) and schedules the notes; `lane` is
    // Timeline::kAllLanes for the mix, or 0..2 for that lane alone. False with `error` naming a
    // sound that does not fit in memory.
    bool prepare(const Project& project, const ProjectSettings& settings,
                 std::span<const std::filesystem::path> folders, int lane, std::string& error);

    // The whole sound: rate, channels and Na + 2R frames.
    SoundFormat format() const;
    // Na + R: the frames that come from the mixer, after the silence.
    std::int64_t mixedFrames() const { return timeline_.songLength() + timeline_.sampleRate(); }
    bool done() const { return next_ >= mixedFrames(); }
    // The next block, a second at most; empty once everything was handed out. It stays valid
    // until the next call.
    std::span<const std::int16_t> next();
    // The mixer sample the block given last starts at; negative for the leading silence.
    std::int64_t blockStart() const { return blockStart_; }

  private:
    std::unique_ptr<std::array<SampleSet, 3>> sets_;  // the timeline points into them
    Timeline timeline_;
    int channels_ = 2;
    std::int64_t next_ = 0;
    std::int64_t blockStart_ = 0;
    std::vector<std::int16_t> block_;
};

}  // namespace lantrel
