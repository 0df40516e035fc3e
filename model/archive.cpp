#include "archive.h"

#include <bit>
#include <cstring>

#include "base/byte_order.h"

namespace lantrel {

namespace {

constexpr std::uint8_t kLongLength = 0xFF;
constexpr std::uint16_t kWideMarker = 0xFFFE;
constexpr std::uint16_t kHugeLength = 0xFFFF;

void appendUtf8(std::string& out, std::uint32_t codePoint) {
    auto put = [&out](std::uint32_t byte) { out.push_back(static_cast<char>(byte)); };
    if (codePoint < 0x80) {
        put(codePoint);
    } else if (codePoint < 0x800) {
        put(0xC0 | (codePoint >> 6));
        put(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        put(0xE0 | (codePoint >> 12));
        put(0x80 | ((codePoint >> 6) & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    } else {
        put(0xF0 | (codePoint >> 18));
        put(0x80 | ((codePoint >> 12) & 0x3F));
        put(0x80 | ((codePoint >> 6) & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    }
}

}  // namespace

void ArchiveWriter::writeU16(std::uint16_t value) {
    le::put16(bytes_, value);
}

void ArchiveWriter::writeU32(std::uint32_t value) {
    le::put32(bytes_, value);
}

void ArchiveWriter::writeDouble(double value) {
    le::put64(bytes_, std::bit_cast<std::uint64_t>(value));
}

void ArchiveWriter::writeText(std::string_view text) {
    const std::size_t length = text.size();
    if (length < kLongLength) {
        writeU8(static_cast<std::uint8_t>(length));
    } else {
        writeU8(kLongLength);
        if (length < kWideMarker) {
            writeU16(static_cast<std::uint16_t>(length));
        } else {
            writeU16(kHugeLength);
            writeU32(static_cast<std::uint32_t>(length));
        }
    }
    bytes_.append(text);
}

bool ArchiveReader::take(std::size_t count, const std::uint8_t*& data) {
    if (failed_ || count > bytes_.size() - position_) {
        failed_ = true;
        return false;
    }
    data = bytes_.data() + position_;
    position_ += count;
    return true;
}

std::uint8_t ArchiveReader::readU8() {
    const std::uint8_t* data = nullptr;
    return take(1, data) ? data[0] : 0;
}

std::uint16_t ArchiveReader::readU16() {
    const std::uint8_t* data = nullptr;
    return take(2, data) ? le::get16(data) : 0;
}

std::uint32_t ArchiveReader::readU32() {
    const std::uint8_t* data = nullptr;
    return take(4, data) ? le::get32(data) : 0;
}

double ArchiveReader::readDouble() {
    const std::uint64_t low = readU32();
    const std::uint64_t high = readU32();
    return std::bit_cast<double>(low | (high << 32));
}

// One length prefix. Returns false (and no length) for the wide-string marker 0xFF 0xFFFE;
// a 32-bit length after 0xFF 0xFFFF is a length even when its value is 0xFFFE.
bool ArchiveReader::readLength(std::uint32_t& length) {
    const std::uint8_t shortLength = readU8();
    if (shortLength != kLongLength) {
        length = shortLength;
        return true;
    }
    const std::uint16_t mediumLength = readU16();
    if (mediumLength == kWideMarker) return false;
    length = mediumLength != kHugeLength ? mediumLength : readU32();
    return true;
}

std::string ArchiveReader::readText() {
    std::uint32_t length = 0;
    const bool wide = !readLength(length);
    if (wide && !readLength(length)) {
        failed_ = true;  // a second wide marker is not a length
        return {};
    }
    // Checked against what is left before allocating, so a forged length cannot exhaust memory.
    const std::size_t byteCount = wide ? std::size_t{length} * 2 : std::size_t{length};
    const std::uint8_t* data = nullptr;
    if (!take(byteCount, data)) return {};
    if (wide) return utf16LeToUtf8({data, byteCount});
    return std::string(reinterpret_cast<const char*>(data), byteCount);
}

std::string utf16LeToUtf8(std::span<const std::uint8_t> units) {
    constexpr std::uint32_t kReplacement = 0xFFFD;
    std::string out;
    out.reserve(units.size());
    const std::size_t count = units.size() / 2;
    auto unitAt = [&](std::size_t i) { return std::uint32_t{le::get16(units, 2 * i)}; };
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < count) {
            const std::uint32_t next = unitAt(i + 1);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                ++i;
                continue;
            }
        }
        appendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit);
    }
    return out;
}

}  // namespace lantrel
