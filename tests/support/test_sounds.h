#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace lantrel::test {

// A 16-bit PCM WAV file with the given interleaved samples.
void writeWav(const std::filesystem::path& path, const std::vector<std::int16_t>& samples,
              int channels = 1, int sampleRate = 44100);

// Bytes of a WAV file with an arbitrary format, for malformed and unusual variants.
std::string wavBytes(std::uint16_t formatTag, std::uint16_t channels, std::uint32_t sampleRate,
                     std::uint16_t blockAlign, std::uint16_t bitsPerSample,
                     const std::string& data);

// Writes all 24 sound files of a sample set into `folder`; `samplesFor(index)` gives the mono
// samples of sound `index` (0..23, in sound-table order).
void writeSoundFolder(const std::filesystem::path& folder,
                      const std::function<std::vector<std::int16_t>(int)>& samplesFor,
                      int sampleRate = 44100);

// `count` samples of the same value.
std::vector<std::int16_t> constantSamples(std::int16_t value, std::size_t count);

}  // namespace lantrel::test
