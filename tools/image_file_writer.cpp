#include "image_file_writer.h"

#include <algorithm>
#include <fstream>
#include <string_view>

#include "base/byte_order.h"

namespace lantrel {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::int32_t kPixelsPerMetre = 2835;  // 72 dots per inch

class ByteWriter {
  public:
    void u8(std::uint32_t value) { bytes_.push_back(static_cast<std::uint8_t>(value)); }
    void le16(std::uint32_t value) { le::put16(bytes_, static_cast<std::uint16_t>(value)); }
    void le32(std::uint32_t value) { le::put32(bytes_, value); }
    void be32(std::uint32_t value) {
        u8(value >> 24);
        u8((value >> 16) & 0xFF);
        u8((value >> 8) & 0xFF);
        u8(value & 0xFF);
    }
    void text(std::string_view text) {
        for (char c : text)
            u8(static_cast<std::uint8_t>(c));
    }
    void append(const std::vector<std::uint8_t>& more) {
        bytes_.insert(bytes_.end(), more.begin(), more.end());
    }
    std::vector<std::uint8_t>& bytes() { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
};

std::uint32_t rowStride(int width, int bitsPerPixel) {
    const auto bits = static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(bitsPerPixel);
    return (bits + 31) / 32 * 4;
}

void writeBmpHeaders(ByteWriter& out, const RgbImage& image, int bitsPerPixel,
                     std::uint32_t paletteEntries) {
    const std::uint32_t offset = kFileHeaderSize + kInfoHeaderSize + paletteEntries * 4;
    const std::uint32_t imageSize =
        rowStride(image.width(), bitsPerPixel) * static_cast<std::uint32_t>(image.height());
    out.text("BM");
    out.le32(offset + imageSize);
    out.le32(0);  // two reserved words
    out.le32(offset);
    out.le32(kInfoHeaderSize);
    out.le32(static_cast<std::uint32_t>(image.width()));
    out.le32(static_cast<std::uint32_t>(image.height()));  // positive: rows bottom-up
    out.le16(1);                                           // planes
    out.le16(static_cast<std::uint32_t>(bitsPerPixel));
    out.le32(0);  // no compression
    out.le32(imageSize);
    out.le32(kPixelsPerMetre);
    out.le32(kPixelsPerMetre);
    out.le32(paletteEntries);
    out.le32(0);  // all colours important
}

// CRC-32 as PNG chunks use it (reflected polynomial 0xEDB88320).
std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

std::uint32_t adler32(const std::vector<std::uint8_t>& data) {
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : data) {
        a = (a + byte) % 65521u;
        b = (b + a) % 65521u;
    }
    return (b << 16) | a;
}

void pngChunk(ByteWriter& out, std::string_view type, const std::vector<std::uint8_t>& data) {
    out.be32(static_cast<std::uint32_t>(data.size()));
    ByteWriter body;
    body.text(type);
    body.append(data);
    out.append(body.bytes());
    out.be32(crc32(body.bytes().data(), body.bytes().size()));
}

// A zlib stream made of stored blocks, each at most 65,535 bytes.
std::vector<std::uint8_t> zlibStored(const std::vector<std::uint8_t>& raw) {
    constexpr std::size_t kBlock = 65535;
    ByteWriter out;
    out.u8(0x78);
    out.u8(0x01);
    std::size_t done = 0;
    do {
        const std::size_t size = std::min(kBlock, raw.size() - done);
        const bool last = done + size == raw.size();
        out.u8(last ? 1 : 0);
        out.le16(static_cast<std::uint32_t>(size));
        out.le16(static_cast<std::uint32_t>(~size & 0xFFFF));
        out.bytes().insert(out.bytes().end(), raw.begin() + static_cast<std::ptrdiff_t>(done),
                           raw.begin() + static_cast<std::ptrdiff_t>(done + size));
        done += size;
    } while (done < raw.size());
    out.be32(adler32(raw));
    return std::move(out.bytes());
}

}  // namespace

std::vector<std::uint8_t> encodeBmp24(const RgbImage& image) {
    ByteWriter out;
    writeBmpHeaders(out, image, 24, 0);
    const std::uint32_t padding =
        rowStride(image.width(), 24) - 3u * static_cast<std::uint32_t>(image.width());
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.width(); ++x) {
            const Rgb pixel = image.at(x, y);
            out.u8(pixel.b);
            out.u8(pixel.g);
            out.u8(pixel.r);
        }
        for (std::uint32_t i = 0; i < padding; ++i)
            out.u8(0);
    }
    return std::move(out.bytes());
}

std::vector<std::uint8_t> encodeBmpMask(const RgbImage& image) {
    ByteWriter out;
    writeBmpHeaders(out, image, 1, 2);
    out.le32(0x00000000);  // index 0: black
    out.le32(0x00FFFFFF);  // index 1: white
    const std::uint32_t stride = rowStride(image.width(), 1);
    for (int y = image.height() - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(stride, 0);
        for (int x = 0; x < image.width(); ++x)
            if (image.at(x, y) == kWhite)
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        out.append(row);
    }
    return std::move(out.bytes());
}

std::vector<std::uint8_t> encodePng(const RgbImage& image) {
    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<std::size_t>(image.height()) *
                (1 + 3 * static_cast<std::size_t>(image.width())));
    for (int y = 0; y < image.height(); ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < image.width(); ++x) {
            const Rgb pixel = image.at(x, y);
            raw.insert(raw.end(), {pixel.r, pixel.g, pixel.b});
        }
    }
    ByteWriter header;
    header.be32(static_cast<std::uint32_t>(image.width()));
    header.be32(static_cast<std::uint32_t>(image.height()));
    header.u8(8);  // bits per channel
    header.u8(2);  // truecolour
    header.u8(0);  // deflate
    header.u8(0);  // adaptive filtering
    header.u8(0);  // not interlaced

    ByteWriter out;
    out.append({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'});
    pngChunk(out, "IHDR", header.bytes());
    pngChunk(out, "IDAT", zlibStored(raw));
    pngChunk(out, "IEND", {});
    return std::move(out.bytes());
}

bool writeFileBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    return static_cast<bool>(file);
}

}  // namespace lantrel
