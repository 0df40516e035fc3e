#pragma once

#include <cstdint>
#include <vector>

namespace lantrel {

// The loudest sample any built-in sound reaches. The mixer's pan law gives a mono sound up to
// 1.8 * 95/127 * 0.894 = 1.20 of its level on the louder side at the default lane pans (32,
// 64, 96), and 0.89 and 0.39 for the other two lanes: nine notes of three lanes peaking at
// the same instant reach at most 3 * 2.49 * 4096 = 30,600, still below full scale.
inline constexpr int kPeakCeiling = 4096;

// What one of the 24 sound files holds: a note of an instrument, recorded at the pitch the
// mixer assumes for it (F4 for a lower sound, which plays unchanged at pitch position 9;
// E5 for an upper sound, unchanged at position 3).
struct SoundPlan {
    int instrument;  // 1..15
    bool upper;
    double frequency;
};

// Index in the order of the sound name table.
SoundPlan soundPlan(int index);

// The finished 16-bit samples of a sound: synthesised, freed of any DC offset, faded to
// zero at both ends and scaled to its instrument's level.
std::vector<std::int16_t> renderSound(int index);

// A complete mono 16-bit PCM WAV file at 44,100 Hz.
std::vector<std::uint8_t> encodeWav(const std::vector<std::int16_t>& samples);

}  // namespace lantrel
