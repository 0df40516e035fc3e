#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "audio/sample_slot.h"

namespace lantrel::test {

// The folder a fresh build writes beside the lantrel executable.
inline std::filesystem::path builtRsrcFolder() {
    return LANTREL_RSRC_DIR;
}

// Every file the start-up check looks for, in its order.
inline constexpr std::array<const char*, 28> kResourceFiles = {
    "icons.bmp",   "icons_mask.bmp", "running.bmp", "running_mask.bmp", "sound1.wav",
    "sound2.wav",  "sound3.wav",     "sound4.wav",  "sound5.wav",       "sound6.wav",
    "sound7.wav",  "sound8.wav",     "sound9.wav",  "sound10.wav",      "sound11.wav",
    "sound12.wav", "sound13.wav",    "sound14.wav", "sound15.wav",      "sound21.wav",
    "sound22.wav", "sound23.wav",    "sound24.wav", "sound25.wav",      "sound26.wav",
    "sound27.wav", "SOUND28.WAV",    "SOUND29.WAV",
};

// The first channel of a loaded sound as numbers.
inline std::vector<double> samplesOf(const SampleSlot& slot) {
    std::vector<double> samples(static_cast<std::size_t>(slot.frames()));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = slot.channelValue(static_cast<std::int64_t>(i), 0);
    return samples;
}

}  // namespace lantrel::test
