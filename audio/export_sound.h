#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/sound_sink.h"
#include "model/export_rounds.h"
#include "sample_set.h"
#include "timeline.h"

namespace lantrel {

class Project;
struct ProjectSettings;

// The sound of an export as its files hold it: one second of silence, then the rounds of the
// song one after another and one second of the last one's decay (N Na + 2R sample frames for
// N rounds of Na song samples at rate R), handed out a second at a time so that memory stays
// flat however long the song is and however many rounds it runs. The WAV, the FLAC, the stems
// and the MP4 all take their samples from here, so they hold the same ones.
//
// Round k starts k Na samples after the first; whatever of the rounds before still rings there
// is summed with it before the 16-bit clamp, as a loop played by hand would sound. A fade lowers
// each lane's sum linearly to silence over the last seconds of the last round and silences the
// decay after it; since it works on the lanes one by one, the stems still add up to the mix.
class ExportSound {
  public:
    ExportSound();
    ExportSound(const ExportSound&) = delete;
    ExportSound& operator=(const ExportSound&) = delete;

    // Loads the lanes' sounds as the lanes' folders and `folders` give them (empty: the
    // program's resource folders; missing sounds are silent) and schedules the notes of the
    // rounds' columns; `lane` is Timeline::kAllLanes for the mix, or 0..2 for that lane alone.
    // False with `error` naming a sound that does not fit in memory.
    bool prepare(const Project& project, const ProjectSettings& settings,
                 std::span<const std::filesystem::path> folders, int lane, std::string& error,
                 const ExportRounds& rounds = {});

    // The whole sound: rate, channels and N Na + 2R frames.
    SoundFormat format() const;
    // Na: the samples of one round.
    std::int64_t roundFrames() const { return timeline_.songLength(); }
    // N Na + R: the frames that come from the mixer, after the silence.
    std::int64_t mixedFrames() const { return songEnd() + timeline_.sampleRate(); }
    bool done() const { return next_ >= mixedFrames(); }
    // The next block, a second at most; empty once everything was handed out. It stays valid
    // until the next call.
    std::span<const std::int16_t> next();
    // The mixer sample the block given last starts at; negative for the leading silence.
    std::int64_t blockStart() const { return blockStart_; }

  private:
    std::int64_t songEnd() const { return roundFrames() * loops_; }
    // Adds every round's samples of `lane` for the frames first .. first + count - 1.
    void addRounds(std::vector<std::int32_t>& sums, std::int64_t first, std::int64_t count,
                   int lane) const;
    // Adds the block with each lane's sum faded where the fade has begun.
    void addFadedLanes(std::int64_t first, std::int64_t count);

    std::unique_ptr<std::array<SampleSet, 3>> sets_;  // the timeline points into them
    Timeline timeline_;
    int channels_ = 2;
    int loops_ = 1;
    std::int64_t fadeFrames_ = 0;
    std::int64_t next_ = 0;
    std::int64_t blockStart_ = 0;
    std::vector<std::int32_t> sums_;      // the block before the clamp
    std::vector<std::int32_t> laneSums_;  // one lane of it, while the fade runs
    std::vector<std::int16_t> block_;
};

}  // namespace lantrel
