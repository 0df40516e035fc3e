#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "note.h"

namespace lantrel {

inline constexpr int kInstrumentCount = 15;

struct InstrumentSound {
    std::int32_t pan = 64;  // 0 = left .. 127 = right
    std::int32_t volume = 100;
    double pitchFactor = 1.0;
    friend bool operator==(const InstrumentSound&, const InstrumentSound&) = default;
};

struct LaneSound {
    std::string label;
    std::string waveFolder;
    std::array<InstrumentSound, kInstrumentCount> instruments{};  // index = instrument - 1
    friend bool operator==(const LaneSound&, const LaneSound&) = default;
};

// The per-project settings, in declaration order. Defaults are those of a new project;
// the per-lane pans come from defaultPan().
struct ProjectSettings {
    std::int32_t tempo = 100;
    bool emulateTempo = true;
    bool fourFour = true;
    bool videoOn = true;
    std::int32_t fps = 10;
    bool audioOn = true;
    bool join = false;
    bool stereo = true;
    std::int32_t sampleRate = 44100;
    std::string outputFolder;
    std::string fileName;
    std::array<LaneSound, kLaneCount> lanes{};
    std::int32_t brightness = 255;

    friend bool operator==(const ProjectSettings&, const ProjectSettings&) = default;
};

// Upper lane to the left, middle in the centre, lower lane to the right.
inline constexpr std::int32_t defaultPan(int lane) {
    return 32 + 32 * lane;
}

// The tempo that timing uses: the stored tempo, or, when emulateTempo is set, the tempo a
// timer of 1/64-second ticks can realise. Never below 1, so that nothing downstream divides
// by zero when a score brought a tempo of 0 or less.
int effectiveTempo(const ProjectSettings& settings);

// The sample rate that sound output uses: the stored rate when it is one a sound card and a
// WAV file can carry (8,000 to 192,000 Hz), else the default 44,100 Hz, so that a damaged
// project file cannot make timing divide by zero.
int outputSampleRate(const ProjectSettings& settings);

}  // namespace lantrel
