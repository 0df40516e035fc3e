#pragma once

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "audio/sample_set.h"
#include "audio/sample_slot.h"

namespace lantrel::test {

// Writes the 24 sounds of a sample set into `folder`: short mono 16-bit WAVs, each a decaying
// tone of its own pitch with a little noise, so that every sound and every stretch of one is
// told apart from the others. Returns the folder.
inline std::filesystem::path writeTestSounds(const std::filesystem::path& folder,
                                             int sampleRate = 22050, double seconds = 0.4) {
    std::filesystem::create_directories(folder);
    const auto frames = static_cast<std::uint32_t>(sampleRate * seconds);
    std::uint32_t noise = 12345;
    for (int index = 0; index < kSoundCount; ++index) {
        std::vector<std::uint8_t> bytes = SampleSlot::makeHeader(false, sampleRate, frames);
        const double frequency = 180.0 + 47.0 * index;
        for (std::uint32_t frame = 0; frame < frames; ++frame) {
            noise = noise * 1664525u + 1013904223u;
            const double t = static_cast<double>(frame) / sampleRate;
            const double tone = std::sin(2.0 * 3.141592653589793 * frequency * t);
            const double hiss = (static_cast<double>(noise >> 16) / 65535.0 - 0.5) * 0.1;
            const auto value =
                static_cast<std::int16_t>(12000.0 * std::exp(-3.0 * t) * (tone + hiss));
            bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
        }
        const char* name = kSoundNames[static_cast<std::size_t>(index)].file;
        std::ofstream(folder / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    return folder;
}

}  // namespace lantrel::test
