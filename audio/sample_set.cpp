#include "sample_set.h"

#include <string>
#include <vector>

#include "base/resource_folder.h"

namespace lantrel {

const std::array<SoundName, kSoundCount> kSoundNames = {{
    {soundFileName(1), 64},  {soundFileName(21), 64}, {soundFileName(2), 38},
    {soundFileName(28), 38}, {soundFileName(3), 64},  {soundFileName(4), 64},
    {soundFileName(22), 64}, {soundFileName(5), 64},  {soundFileName(23), 64},
    {soundFileName(6), 64},  {soundFileName(24), 64}, {soundFileName(7), 64},
    {soundFileName(8), 64},  {soundFileName(9), 64},  {soundFileName(10), 64},
    {soundFileName(11), 64}, {soundFileName(12), 64}, {soundFileName(25), 64},
    {soundFileName(13), 85}, {soundFileName(29), 85}, {soundFileName(14), 64},
    {soundFileName(26), 64}, {soundFileName(15), 64}, {soundFileName(27), 64},
}};

const std::array<InstrumentSounds, 15> kInstrumentSounds = {{
    {0, 1, 5},
    {2, 3, 5},
    {4, -1, 0},
    {5, 6, 5},
    {7, 8, 5},
    {9, 10, 5},
    {11, -1, 0},
    {12, -1, 0},
    {13, -1, 0},
    {14, -1, 0},
    {15, -1, 0},
    {16, 17, 5},
    {18, 19, 7},
    {20, 21, 5},
    {22, 23, 5},
}};

namespace {

constexpr int kLowerReference = 9;
constexpr int kUpperReference = 3;

// 2^(n/12) rounded to six decimal places, for n = 0..14.
constexpr std::array<double, 15> kSemitoneRatio = {
    1.0,      1.059463, 1.122462, 1.189207, 1.259921, 1.33484,  1.414214, 1.498307,
    1.587401, 1.681793, 1.781797, 1.887749, 2.0,      2.118926, 2.244924,
};

bool isValidInstrument(int instrument) {
    return instrument >= 1 && instrument <= 15;
}

}  // namespace

SampleSet loadSampleSet(const std::string& waveFolder,
                        std::span<const std::filesystem::path> resourceFolders) {
    SampleSet set;
    std::error_code ignored;
    for (int index = 0; index < kSoundCount; ++index) {
        const SoundName& name = kSoundNames[static_cast<std::size_t>(index)];
        SampleSlot& sound = set.sounds[static_cast<std::size_t>(index)];
        std::vector<std::filesystem::path> candidates;
        if (!waveFolder.empty())
            candidates.push_back(std::filesystem::path(waveFolder) / name.file);
        for (const auto& folder : resourceFolders)
            candidates.push_back(folder / name.file);
        bool loaded = false;
        for (const auto& candidate : candidates) {
            loaded = sound.load(candidate);
            if (loaded) break;
            if (!sound.ranOutOfMemory()) continue;
            if (set.problem.empty())
                set.problem = "not enough memory for the sound " + candidate.string() + " (" +
                              std::to_string(std::filesystem::file_size(candidate, ignored)) +
                              " bytes)";
            break;
        }
        if (!loaded) ++set.failureCount;
        if (sound.channels == 1) sound.pan = name.pan;
    }
    return set;
}

SampleSet loadSampleSet(const std::string& waveFolder, const std::filesystem::path& builtInFolder) {
    return loadSampleSet(waveFolder, std::span(&builtInFolder, 1));
}

SampleSet loadSampleSet(const std::string& waveFolder) {
    return loadSampleSet(waveFolder, resourceFolders());
}

void applyLaneSound(SampleSet& set, int instrument, int pan, int volume) {
    if (!isValidInstrument(instrument)) return;
    const InstrumentSounds& sounds = kInstrumentSounds[static_cast<std::size_t>(instrument - 1)];
    auto apply = [&](int index) {
        SampleSlot& sound = set.sounds[static_cast<std::size_t>(index)];
        sound.pan = pan & 127;
        sound.volume = volume & 127;
    };
    apply(sounds.lower);
    if (sounds.split > 0) apply(sounds.upper);
}

SampleSet loadLaneSampleSet(const LaneSound& lane,
                            std::span<const std::filesystem::path> resourceFolders) {
    SampleSet set = loadSampleSet(lane.waveFolder, resourceFolders);
    for (int instrument = 1; instrument <= kInstrumentCount; ++instrument) {
        const InstrumentSound& sound = lane.instruments[static_cast<std::size_t>(instrument - 1)];
        applyLaneSound(set, instrument, sound.pan, sound.volume);
    }
    return set;
}

std::optional<VoiceSource> voiceSource(const SampleSet& set, int instrument, int position) {
    if (!isValidInstrument(instrument) || position < 1 || position > 13) return std::nullopt;
    const InstrumentSounds& sounds = kInstrumentSounds[static_cast<std::size_t>(instrument - 1)];
    const bool lower = position > sounds.split;
    const int index = lower ? sounds.lower : sounds.upper;
    const int reference = lower ? kLowerReference : kUpperReference;
    const int semitonesAbove = kPositionSemitones[static_cast<std::size_t>(reference)] -
                               kPositionSemitones[static_cast<std::size_t>(position)];
    const double ratio = semitonesAbove >= 0
                             ? kSemitoneRatio[static_cast<std::size_t>(semitonesAbove)]
                             : 1.0 / kSemitoneRatio[static_cast<std::size_t>(-semitonesAbove)];
    return VoiceSource{&set.sounds[static_cast<std::size_t>(index)], ratio};
}

}  // namespace lantrel
