#pragma once

#include <cstdint>
#include <istream>

namespace lantrel {

// The format fields of a PCM WAV file, as stored.
struct WavFormat {
    std::int32_t channels = 0;  // the 16-bit field, sign-extended
    std::int32_t samplesPerSec = 0;
    std::int32_t avgBytesPerSec = 0;
    std::int16_t blockAlign = 0;
    std::int16_t bitsPerSample = 0;
};

// Reads a WAV header up to the start of the PCM data: "RIFF", "WAVE", a PCM "fmt " chunk first,
// and the "data" chunk directly after it (the chunk after "fmt " is looked for at its stated
// size + 20). Returns nullptr with the stream at the first data byte, or the tag of the field
// that failed ("RIFF", "sz", "WAVE", "fmt ", "chunk sz", "format_id", "channel",
// "sampling rate", "bps", "block size", "bits per sample", "data", "data size").
const char* readWavHeader(std::istream& in, WavFormat& format, std::uint32_t& dataSize);

}  // namespace lantrel
