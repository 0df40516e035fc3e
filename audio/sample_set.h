#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "base/resource_names.h"
#include "model/project_settings.h"
#include "sample_slot.h"

namespace lantrel {

inline constexpr int kSoundCount = static_cast<int>(kSoundFileCount);

// The fixed table of the 24 sound files in the mixer's order, with the pan a mono sound gets
// on loading.
struct SoundName {
    std::string_view file;
    int pan;
};
extern const std::array<SoundName, kSoundCount> kSoundNames;

// Which sounds an instrument plays: the lower sound below the split position, the upper
// sound at or above it. Split 0 means one sound for all thirteen positions.
struct InstrumentSounds {
    int lower;
    int upper;  // -1 = none
    int split;
};
extern const std::array<InstrumentSounds, 15> kInstrumentSounds;

// The 24 sounds of one lane, with the number that could not be loaded.
struct SampleSet {
    std::array<SampleSlot, kSoundCount> sounds;
    int failureCount = 0;
    // Set when a sound could not be held in memory: which one, for the user. Such a sound is
    // not replaced by another folder's, so a set with a problem is not to be played.
    std::string problem;
};

// Loads each sound from `waveFolder`; a file that does not load there (or every file, when
// waveFolder is empty) comes from the first of `resourceFolders` where it loads. Memory
// running out is not thrown: the set's problem names the sound that did not fit.
SampleSet loadSampleSet(const std::string& waveFolder,
                        std::span<const std::filesystem::path> resourceFolders);
SampleSet loadSampleSet(const std::string& waveFolder, const std::filesystem::path& builtInFolder);
// The same with the program's resource folders, in their lookup order (resource_folder.h).
SampleSet loadSampleSet(const std::string& waveFolder);

// Puts an instrument's pan and volume on its sounds (each masked to 0..127).
void applyLaneSound(SampleSet& set, int instrument, int pan, int volume);

// A lane's sample set as the player and the export use it: loaded from the lane's WAV folder
// (with `resourceFolders` for missing sounds), with the lane's pan and volume on every
// instrument 1..15.
SampleSet loadLaneSampleSet(const LaneSound& lane,
                            std::span<const std::filesystem::path> resourceFolders);

struct VoiceSource {
    const SampleSlot* sound;
    double ratio;  // playback speed: 2.0 sounds an octave higher
};
// The sound and playback ratio of a note, or nothing for an instrument outside 1..15 or a
// position outside 1..13.
std::optional<VoiceSource> voiceSource(const SampleSet& set, int instrument, int position);

// Semitones below position 1 for positions 1..13 (index 0 unused).
inline constexpr std::array<int, 14> kPositionSemitones = {0,  0,  2,  3,  5,  7,  8,
                                                           10, 12, 14, 15, 17, 19, 20};

}  // namespace lantrel
