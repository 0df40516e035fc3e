#include "wav_header.h"

#include <cstring>

namespace lantrel {

namespace {

constexpr std::uint16_t kFormatPcm = 1;

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
        value = static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
        return true;
    }
    bool u32(std::uint32_t& value) {
        std::uint8_t bytes[4];
        if (!read(bytes, 4)) return false;
        value = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
                (static_cast<std::uint32_t>(bytes[3]) << 24);
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
    if (!field.u16(formatTag) || formatTag != kFormatPcm) return "format_id";
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

}  // namespace lantrel
