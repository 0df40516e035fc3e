#include "bmp_reader.h"

#include <fstream>
#include <vector>

#include "base/input_file.h"

namespace lantrel {

namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
// The sheets are 64 x 80 pixels at most; anything much larger is not a sprite sheet, and a
// forged size must not cost a gigabyte of picture before its first row is read.
constexpr int kMaxSide = kLargestBmpSide;

std::uint32_t u32(std::span<const std::uint8_t> b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::uint16_t u16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

struct BmpLayout {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bitCount = 0;
    std::vector<QRgb> palette;
    std::span<const std::uint8_t> pixels;
};

// The header says where the pixels begin (bytes 10..13); everything between the 14-byte file
// header and that offset is the information header and the colour table.
bool readLayout(std::span<const std::uint8_t> bytes, BmpLayout& layout) {
    if (bytes.size() < 14 + 16 || bytes[0] != 'B' || bytes[1] != 'M') return false;
    const std::uint32_t offset = u32(bytes, 10);
    const std::uint32_t infoSize = u32(bytes, 14);
    // In 64 bits: a forged information size near 4 GiB must not wrap round to a small one and
    // pass for a header that is not there.
    if (offset > bytes.size() || infoSize < 40 || std::uint64_t{14} + infoSize > offset)
        return false;
    const auto width = static_cast<std::int32_t>(u32(bytes, 18));
    const auto height = static_cast<std::int32_t>(u32(bytes, 22));
    layout.bitCount = u16(bytes, 28);
    const std::uint32_t compression = u32(bytes, 30);
    if (width <= 0 || width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide)
        return false;
    if (compression != kBiRgb && !(compression == kBiBitfields && layout.bitCount == 32))
        return false;
    layout.width = width;
    layout.height = height < 0 ? -height : height;
    layout.topDown = height < 0;
    if (layout.bitCount <= 8) {
        const std::uint32_t declared = u32(bytes, 46);
        const std::size_t entries = declared ? declared : (1u << layout.bitCount);
        const std::size_t available = (offset - 14 - infoSize) / 4;
        for (std::size_t i = 0; i < std::min<std::size_t>({entries, available, 256}); ++i) {
            const std::size_t at = 14 + infoSize + 4 * i;
            layout.palette.push_back(qRgb(bytes[at + 2], bytes[at + 1], bytes[at]));
        }
    }
    layout.pixels = bytes.subspan(offset);
    return layout.bitCount == 1 || layout.bitCount == 4 || layout.bitCount == 8 ||
           layout.bitCount == 24 || layout.bitCount == 32;
}

std::size_t rowBytesOf(const BmpLayout& layout) {
    return (static_cast<std::size_t>(layout.width) * static_cast<std::size_t>(layout.bitCount) +
            31) /
           32 * 4;
}

QRgb pixelAt(const BmpLayout& layout, std::span<const std::uint8_t> row, int x) {
    const auto paletteColour = [&](std::size_t index) {
        return index < layout.palette.size() ? layout.palette[index] : qRgb(255, 255, 255);
    };
    switch (layout.bitCount) {
        case 1:
            return paletteColour((row[static_cast<std::size_t>(x / 8)] >> (7 - x % 8)) & 1);
        case 4:
            return paletteColour((row[static_cast<std::size_t>(x / 2)] >> (x % 2 ? 0 : 4)) & 0xF);
        case 8:
            return paletteColour(row[static_cast<std::size_t>(x)]);
        default: {
            const std::size_t at =
                static_cast<std::size_t>(x) * static_cast<std::size_t>(layout.bitCount / 8);
            return qRgb(row[at + 2], row[at + 1], row[at]);
        }
    }
}

}  // namespace

QImage readBmp(std::span<const std::uint8_t> bytes) {
    BmpLayout layout;
    if (!readLayout(bytes, layout)) return {};
    // Every declared row must be there before the picture is made: a header that claims more
    // than the file holds is not taken at its word.
    const std::size_t rowBytes = rowBytesOf(layout);
    if (rowBytes * static_cast<std::size_t>(layout.height) > layout.pixels.size()) return {};
    QImage image(layout.width, layout.height, QImage::Format_RGB32);
    if (image.isNull()) return {};  // no memory for it
    image.fill(Qt::white);
    for (int stored = 0; stored < layout.height; ++stored) {
        const std::size_t start = static_cast<std::size_t>(stored) * rowBytes;
        const int y = layout.topDown ? stored : layout.height - 1 - stored;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < layout.width; ++x)
            line[x] = pixelAt(layout, layout.pixels.subspan(start, rowBytes), x);
    }
    return image;
}

QImage readBmpFile(const std::filesystem::path& path) {
    constexpr std::uintmax_t kMaxFileBytes = 16u << 20;  // sprite sheets are a few kilobytes
    std::error_code error;
    if (!isRegularInputFile(path) || std::filesystem::file_size(path, error) > kMaxFileBytes ||
        error)
        return {};
    std::ifstream file(path, std::ios::binary);
    if (!file) return {};
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
    return readBmp(bytes);
}

}  // namespace lantrel
