#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <istream>
#include <vector>

namespace lantrel {

// Everything about the WAV file layout in one place: reading a sound's header, and writing the
// 16-bit PCM files and format chunks that the export makes.

// The format fields of a PCM WAV file, as stored.
struct WavFormat {
    std::int32_t channels = 0;  // the 16-bit field, sign-extended
    std::int32_t samplesPerSec = 0;
    std::int32_t avgBytesPerSec = 0;
    std::int16_t blockAlign = 0;
    std::int16_t bitsPerSample = 0;
};

inline constexpr std::uint16_t kWavFormatPcm = 1;
inline constexpr std::size_t kWavHeaderSize = 44;

// Reads a WAV header up to the start of the PCM data: "RIFF", "WAVE", a PCM "fmt " chunk first,
// and the "data" chunk directly after it (the chunk after "fmt " is looked for at its stated
// size + 20). Returns nullptr with the stream at the first data byte, or the tag of the field
// that failed ("RIFF", "sz", "WAVE", "fmt ", "chunk sz", "format_id", "channel",
// "sampling rate", "bps", "block size", "bits per sample", "data", "data size").
const char* readWavHeader(std::istream& in, WavFormat& format, std::uint32_t& dataSize);

// The format of the 16-bit PCM sound that the export writes.
WavFormat pcm16Format(bool stereo, std::int32_t sampleRate);

// The 16 bytes of a PCM "fmt " chunk's body, as a WAV file or an AVI audio stream carries it.
std::vector<std::byte> pcmFormatChunk(const WavFormat& format);

// The 44-byte header of a 16-bit PCM file of dataFrames frames. The size fields are 32-bit;
// callers keep the data below 4 GiB (see fitsInWav).
std::vector<std::uint8_t> makeWavHeader(bool stereo, std::int32_t sampleRate,
                                        std::uint32_t dataFrames);
// False when no file is given or the header could not be written.
bool writeWavHeader(std::FILE* file, bool stereo, std::int32_t sampleRate,
                    std::uint32_t dataFrames);
bool fitsInWav(bool stereo, std::uint64_t dataFrames);

}  // namespace lantrel
