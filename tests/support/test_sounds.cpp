#include "test_sounds.h"

#include <fstream>

#include "audio/sample_set.h"
#include "audio/sample_slot.h"
#include "audio/wav_format.h"
#include "base/byte_order.h"

namespace lantrel::test {

void writeWav(const std::filesystem::path& path, const std::vector<std::int16_t>& samples,
              int channels, int sampleRate) {
    const auto frames =
        static_cast<std::uint32_t>(samples.size() / static_cast<std::size_t>(channels));
    const auto header = makeWavHeader(channels == 2, sampleRate, frames);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(header.data()),
               static_cast<std::streamsize>(header.size()));
    file.write(reinterpret_cast<const char*>(samples.data()),
               static_cast<std::streamsize>(samples.size() * sizeof(std::int16_t)));
}

std::string wavBytes(std::uint16_t formatTag, std::uint16_t channels, std::uint32_t sampleRate,
                     std::uint16_t blockAlign, std::uint16_t bitsPerSample,
                     const std::string& data) {
    std::string out = "RIFF";
    le::put32(out, static_cast<std::uint32_t>(36 + data.size()));
    out += "WAVEfmt ";
    le::put32(out, 16);
    le::put16(out, static_cast<std::uint16_t>(formatTag));
    le::put16(out, static_cast<std::uint16_t>(channels));
    le::put32(out, sampleRate);
    le::put32(out, sampleRate * blockAlign);
    le::put16(out, static_cast<std::uint16_t>(blockAlign));
    le::put16(out, static_cast<std::uint16_t>(bitsPerSample));
    out += "data";
    le::put32(out, static_cast<std::uint32_t>(data.size()));
    return out + data;
}

void writeSoundFolder(const std::filesystem::path& folder,
                      const std::function<std::vector<std::int16_t>(int)>& samplesFor,
                      int sampleRate) {
    std::filesystem::create_directories(folder);
    for (int index = 0; index < kSoundCount; ++index)
        writeWav(folder / kSoundNames[static_cast<std::size_t>(index)].file, samplesFor(index), 1,
                 sampleRate);
}

std::vector<std::int16_t> constantSamples(std::int16_t value, std::size_t count) {
    return std::vector<std::int16_t>(count, value);
}

}  // namespace lantrel::test
