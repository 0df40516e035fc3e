#include "wav_format.h"

#include <cstring>

#include "base/byte_order.h"

namespace lantrel {

namespace {

class FieldReader {
  public:
    explicit FieldReader(std::istream& in) : in_(in) {}

    bool tag(const char (&expected)[5]) {
        char bytes[4];
        return read(bytes, 4) && std::memcmp(bytes, expected, 4) == 0;
    }
    bool u16(std::uint16_t& value) {
        std::uint8_t bytes[2];
        if (!read(bytes, 2)) return false;
        value = le::get16(bytes);
        return true;
    }
    bool u32(std::uint32_t& value) {
        std::uint8_t bytes[4];
        if (!read(bytes, 4)) return false;
        value = le::get32(bytes);
        return true;
    }
    bool seek(std::uint64_t offset) {
        in_.clear();
        in_.seekg(static_cast<std::streamoff>(offset));
        return static_cast<bool>(in_);
    }

  private:
    bool read(void* into, std::streamsize count) {
        in_.read(static_cast<char*>(into), count);
        return in_.gcount() == count;
    }
    std::istream& in_;
};

template <typename Out>
void putFormatChunk(Out& out, const WavFormat& format) {
    le::put16(out, kWavFormatPcm);
    le::put16(out, static_cast<std::uint16_t>(format.channels));
    le::put32(out, static_cast<std::uint32_t>(format.samplesPerSec));
    le::put32(out, static_cast<std::uint32_t>(format.avgBytesPerSec));
    le::put16(out, static_cast<std::uint16_t>(format.blockAlign));
    le::put16(out, static_cast<std::uint16_t>(format.bitsPerSample));
}

}  // namespace

const char* readWavHeader(std::istream& in, WavFormat& format, std::uint32_t& dataSize) {
    FieldReader field(in);
    std::uint32_t riffSize = 0, formatSize = 0, u32 = 0;
    std::uint16_t formatTag = 0, u16 = 0;
    if (!field.tag("RIFF")) return "RIFF";
    if (!field.u32(riffSize)) return "sz";
    if (!field.tag("WAVE")) return "WAVE";
    if (!field.tag("fmt ")) return "fmt ";
    if (!field.u32(formatSize)) return "chunk sz";
    if (!field.u16(formatTag) || formatTag != kWavFormatPcm) return "format_id";
    if (!field.u16(u16)) return "channel";
    format.channels = static_cast<std::int16_t>(u16);
    if (!field.u32(u32)) return "sampling rate";
    format.samplesPerSec = static_cast<std::int32_t>(u32);
    if (!field.u32(u32)) return "bps";
    format.avgBytesPerSec = static_cast<std::int32_t>(u32);
    if (!field.u16(u16)) return "block size";
    format.blockAlign = static_cast<std::int16_t>(u16);
    if (!field.u16(u16)) return "bits per sample";
    format.bitsPerSample = static_cast<std::int16_t>(u16);
    if (!field.seek(std::uint64_t{formatSize} + 20) || !field.tag("data")) return "data";
    if (!field.u32(dataSize)) return "data size";
    return nullptr;
}

WavFormat pcm16Format(bool stereo, std::int32_t sampleRate) {
    const std::int16_t frameBytes = stereo ? 4 : 2;
    return {stereo ? 2 : 1, sampleRate, sampleRate * frameBytes, frameBytes, 16};
}

std::vector<std::byte> pcmFormatChunk(const WavFormat& format) {
    std::vector<std::byte> bytes;
    putFormatChunk(bytes, format);
    return bytes;
}

std::vector<std::uint8_t> makeWavHeader(bool stereo, std::int32_t sampleRate,
                                        std::uint32_t dataFrames) {
    const WavFormat format = pcm16Format(stereo, sampleRate);
    const std::uint32_t dataBytes = dataFrames * static_cast<std::uint32_t>(format.blockAlign);
    std::vector<std::uint8_t> header;
    header.reserve(kWavHeaderSize);
    le::putTag(header, "RIFF");
    le::put32(header, dataBytes + 36);
    le::putTag(header, "WAVE");
    le::putTag(header, "fmt ");
    le::put32(header, 16);
    putFormatChunk(header, format);
    le::putTag(header, "data");
    le::put32(header, dataBytes);
    return header;
}

bool writeWavHeader(std::FILE* file, bool stereo, std::int32_t sampleRate,
                    std::uint32_t dataFrames) {
    if (!file) return false;
    const auto header = makeWavHeader(stereo, sampleRate, dataFrames);
    return std::fwrite(header.data(), 1, header.size(), file) == header.size();
}

bool fitsInWav(bool stereo, std::uint64_t dataFrames) {
    const std::uint64_t dataBytes = dataFrames * (stereo ? 4u : 2u);
    return dataBytes + 36 <= 0xFFFFFFFFu;
}

}  // namespace lantrel
