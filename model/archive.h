#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace lantrel {

// Little-endian binary output in the layout of the project file: fixed-size integers,
// one-byte booleans, IEEE doubles and length-prefixed texts.
class ArchiveWriter {
  public:
    void writeU8(std::uint8_t value) { bytes_.push_back(static_cast<char>(value)); }
    void writeU16(std::uint16_t value);
    void writeU32(std::uint32_t value);
    void writeI32(std::int32_t value) { writeU32(static_cast<std::uint32_t>(value)); }
    void writeBool(bool value) { writeU8(value ? 1 : 0); }
    void writeDouble(double value);
    // Texts are written in the narrow form only: one length byte below 255, else 0xFF with a
    // 16-bit length below 0xFFFE, else 0xFF 0xFFFF and a 32-bit length.
    void writeText(std::string_view text);

    const std::string& bytes() const { return bytes_; }
    std::string takeBytes() { return std::move(bytes_); }

  private:
    std::string bytes_;
};

// Reads the same layout from a byte buffer. Reading past the end fails; after the first
// failure every read yields zero and failed() stays true, so a reader can check once at
// the end of a group of reads.
class ArchiveReader {
  public:
    explicit ArchiveReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint8_t readU8();
    std::uint16_t readU16();
    std::uint32_t readU32();
    std::int32_t readI32() { return static_cast<std::int32_t>(readU32()); }
    bool readBool() { return readU8() != 0; }
    double readDouble();
    // Accepts the wide form (0xFF 0xFFFE, a second length, then UTF-16LE units) and returns
    // it as UTF-8.
    std::string readText();

    bool failed() const { return failed_; }
    std::size_t position() const { return position_; }
    std::size_t remaining() const { return failed_ ? 0 : bytes_.size() - position_; }

  private:
    bool take(std::size_t count, const std::uint8_t*& data);
    bool readLength(std::uint32_t& length);

    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
    bool failed_ = false;
};

// Converts UTF-16LE code units to UTF-8; unpaired surrogates become U+FFFD.
std::string utf16LeToUtf8(std::span<const std::uint8_t> units);

}  // namespace lantrel
