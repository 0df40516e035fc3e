#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "sample_set.h"

namespace lantrel {

class Project;
struct ProjectSettings;

// The mixer: every note of the three lanes as a voice on a sample timeline, cut and faded
// where a later note of its lane takes over, rendered to 16-bit PCM on demand.
//
// Nine tracks: track t holds note slot t % 3 of lane t / 3, one voice per column. At most one
// voice per track sounds at a time. A voice rings until the next note of its own track, or
// until an earlier note of its lane found by looking at every second column, and fades out
// over the last 1/24 of its length (at most 1/24 s) when it is cut.
class Timeline {
  public:
    // A scheduled note. Only columns whose note has a sound get a voice: a track is the list of
    // its voices in column order, so memory follows the notes, not the length of the song.
    struct Voice {
        std::int32_t column = 0;
        std::int32_t sound = -1;         // index into the timeline's sounds
        std::int32_t previousNote = -1;  // column of the track's previous voice; -1 = none
        double ratio = 1.0;              // playback speed
        std::int64_t fadeStart = -1;     // voice-relative; -1 = no fade
        std::int64_t fadeLength = -1;
        std::int64_t start = 2147483647;  // first output sample
        std::int64_t end = -1;            // last output sample, inclusive
    };
    static constexpr int kTrackCount = 9;
    static constexpr int kAllLanes = -1;

    // Reads the lanes through the project's locked queries (one lock per read) and schedules
    // every note with the lanes' sample sets, which must outlive the timeline. With `onlyLane`
    // 0..2 only that lane's notes sound (its stem); the song keeps the arrangement's length,
    // and since a note is only ever cut by notes of its own lane, each voice plays exactly as
    // in the mix.
    //
    // With `firstColumn` and `endColumn` the song is the stretch of columns firstColumn ..
    // endColumn - 1 cut out of the arrangement: its sample 0 is the first sample of
    // `firstColumn`, only the notes of those columns sound, and each plays exactly as in the
    // whole song, cut where a later note cuts it there. An `endColumn` of -1 is the
    // arrangement's end.
    void buildTimeline(const Project& project, const ProjectSettings& settings,
                       const std::array<SampleSet, 3>& sets, int onlyLane = kAllLanes,
                       int firstColumn = 0, int endColumn = -1);
    // Computes starts, ends and fades, then keeps the voices of the song's columns. Must
    // follow buildTimeline before rendering.
    void finishTimeline();

    std::int64_t songLength() const { return columnStart(columns_) - origin_; }
    // The song sample from which on no voice sounds any more: the end of the longest ringing.
    std::int64_t silenceFrom() const { return silenceFrom_; }
    // Frame count 16-bit values (mono) or left/right pairs (stereo) for the song's samples
    // first .. first + frameCount - 1; any first sample is allowed, also before or past the song.
    void renderMono(std::int16_t* out, std::int64_t first, std::int64_t frameCount) const;
    void renderStereo(std::int16_t* out, std::int64_t first, std::int64_t frameCount) const;
    // Adds the same samples, before the 16-bit clamp, to `sums` (frameCount values, or pairs
    // when `stereo`): of every lane, or of lane 0..2 alone. Summing several stretches this way
    // and clamping once is what layers one pass of the song over another.
    void addSums(std::int32_t* sums, std::int64_t first, std::int64_t frameCount, bool stereo,
                 int lane = kAllLanes) const;

    // Column c starts at ceil(c * 60 * rate / tempo); sample s lies in floor(s * tempo / rate /
    // 60).
    std::int64_t columnStart(std::int64_t column) const;
    std::int64_t columnAt(std::int64_t sample) const;

    int sampleRate() const { return sampleRate_; }
    int tempo() const { return tempo_; }
    int columns() const { return columns_; }
    // The voice of a track at a column, or null when that column has no sounding note.
    const Voice* voiceAt(int track, int column) const;
    const std::vector<Voice>& track(int index) const {
        return tracks_[static_cast<std::size_t>(index)];
    }
    const SampleSlot* soundOf(const Voice& voice) const;

  private:
    struct Sound {
        const SampleSlot* slot = nullptr;
        std::int64_t frames = 0;
    };
    struct Active {
        const Voice* voice;
        const Sound* sound;
    };

    std::int32_t soundIndex(int lane, const SampleSet& set, const SampleSlot* slot);
    // The voice that sounds in a track at a column: the one of that column, or else the track's
    // latest earlier voice. Null when the track has none yet.
    const Voice* sounding(int track, std::int64_t column) const;
    std::int64_t voiceLength(const Voice& voice) const;
    bool laneHasNote(int lane, int column) const;
    void finishTrack(int track);
    void computeEnd(int lane, Voice& voice, int limit);
    template <bool Stereo>
    void render(std::int16_t* out, std::int64_t first, std::int64_t frameCount) const;
    template <bool Stereo>
    void accumulate(std::int32_t* sums, std::int64_t first, std::int64_t frameCount,
                    int lane) const;
    template <bool Stereo>
    void renderChunk(std::int32_t* sums, std::int64_t a, std::int64_t m, int column,
                     int lane) const;
    template <bool Stereo>
    void addVoice(std::int32_t* sums, std::int64_t a, std::int64_t m, const Active& active) const;

    bool stereo_ = true;  // the layout the project plays, whose gains are worked out up front
    int sampleRate_ = 44100;
    int tempo_ = 100;
    int columns_ = 0;  // the column after the song's last (the arrangement's, until finished)
    int firstColumn_ = 0;  // the song's first column
    int endColumn_ = 0;    // the column after the song's last
    std::int64_t origin_ = 0;  // the first sample of firstColumn_
    std::int64_t silenceFrom_ = 0;
    std::array<std::vector<Voice>, kTrackCount> tracks_;
    std::array<std::vector<bool>, 3> laneNotes_;  // columns where any slot of the lane sounds
    std::vector<Sound> sounds_;
    std::array<std::int32_t, 3 * kSoundCount> soundOfSlot_{};
};

}  // namespace lantrel
