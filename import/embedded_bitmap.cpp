#include "embedded_bitmap.h"

#include <algorithm>
#include <vector>

#include "base/atomic_file.h"
#include "base/byte_order.h"
#include "base/resource_names.h"

namespace lantrel {

const std::array<EmbeddedBitmap, 4> kEmbeddedBitmaps = {{
    {kIconsBitmap, 64, 80, false, 20588, {1067109, 445582}, {415503, 563949}},
    {kIconsMaskBitmap, 64, 80, true, 756, {74960, 74960}, {436037, 584483}},
    {kRunnerBitmap, 64, 66, false, 17004, {1191660, 664251}, {485256, 633681}},
    {kRunnerMaskBitmap, 64, 66, true, 644, {89626, 89605}, {502206, 650631}},
}};

namespace {

constexpr int kLetterB = 0x42;
constexpr int kLetterM = 0x4D;

// Little-endian fields read one byte at a time; false at the end of the file.
bool readField(BufferedReader& file, int bytes, std::uint32_t& value) {
    std::uint8_t field[4]{};
    for (int i = 0; i < bytes; ++i) {
        const int byte = file.get();
        if (byte == BufferedReader::kEnd) return false;
        field[i] = static_cast<std::uint8_t>(byte);
    }
    value = le::get32(field);
    return true;
}

// The fields of the file header and the information header that recognition needs.
struct BitmapHeaders {
    std::uint32_t pixelOffset = 0;
    std::uint32_t infoSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t bitCount = 0;
    std::uint32_t imageSize = 0;
};

bool readHeaders(BufferedReader& file, BitmapHeaders& headers) {
    std::uint32_t ignored = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // File header: type, file size, two reserved words, pixel-data offset. Information header:
    // size, width, height, planes, bit count, compression, image size, two resolutions and
    // two colour counts.
    const bool complete =
        readField(file, 2, ignored) && readField(file, 4, ignored) && readField(file, 2, ignored) &&
        readField(file, 2, ignored) && readField(file, 4, headers.pixelOffset) &&
        readField(file, 4, headers.infoSize) && readField(file, 4, width) &&
        readField(file, 4, height) && readField(file, 2, ignored) &&
        readField(file, 2, headers.bitCount) && readField(file, 4, ignored) &&
        readField(file, 4, headers.imageSize) && readField(file, 4, ignored) &&
        readField(file, 4, ignored) && readField(file, 4, ignored) && readField(file, 4, ignored);
    headers.width = static_cast<std::int32_t>(width);
    headers.height = static_cast<std::int32_t>(height);
    return complete;
}

bool fitsHeaders(const BitmapHeaders& headers, const EmbeddedBitmap& bitmap) {
    if (headers.width != bitmap.width || headers.height != bitmap.height) return false;
    if (bitmap.oneBitPerPixel && headers.bitCount != 1) return false;
    // 64-bit, so that huge fields cannot wrap around to the expected size.
    const std::uint64_t total =
        std::uint64_t{headers.infoSize} + headers.pixelOffset + 14 + headers.imageSize;
    return total == bitmap.copySize;
}

std::optional<std::uint64_t> scanForBitmap(BufferedReader& file, const EmbeddedBitmap& bitmap) {
    file.seek(0);
    for (;;) {
        if (!file.skipTo(kLetterB)) return std::nullopt;
        const std::uint64_t candidate = file.tell();
        file.get();
        const int next = file.get();
        if (next == BufferedReader::kEnd) return std::nullopt;
        if (next != kLetterM) {
            // The byte after a 'B' may itself start "BM".
            file.seek(candidate + 1);
            continue;
        }
        if (matches(file, candidate, bitmap)) return candidate;
        file.seek(candidate + 1);
    }
}

}  // namespace

bool matches(BufferedReader& file, std::uint64_t position, const EmbeddedBitmap& bitmap) {
    file.seek(position);
    BitmapHeaders headers;
    if (!readHeaders(file, headers) || !fitsHeaders(headers, bitmap)) return false;
    file.seek(position);
    const std::uint64_t sum = file.sum(bitmap.copySize);
    return std::ranges::find(bitmap.byteSums, sum) != bitmap.byteSums.end();
}

std::optional<std::uint64_t> findBitmap(BufferedReader& file, const EmbeddedBitmap& bitmap) {
    for (const std::int64_t offset : bitmap.knownOffsets) {
        if (offset < 0) continue;
        const auto position = static_cast<std::uint64_t>(offset);
        if (matches(file, position, bitmap)) return position;
    }
    return scanForBitmap(file, bitmap);
}

std::optional<std::vector<std::uint8_t>> readBitmapBytes(BufferedReader& file,
                                                         std::uint64_t position,
                                                         const EmbeddedBitmap& bitmap,
                                                         std::string& error) {
    std::vector<std::uint8_t> bytes;
    file.seek(position);
    file.read(bitmap.copySize, bytes);
    if (bytes.size() == bitmap.copySize) return bytes;
    error = "the executable ends inside the image";
    return std::nullopt;
}

bool writeBitmap(const std::filesystem::path& folder, BufferedReader& file, std::uint64_t position,
                 const EmbeddedBitmap& bitmap, std::string& error) {
    std::error_code code;
    std::filesystem::create_directories(folder, code);
    if (code) {
        error = "cannot create " + folder.string() + ": " + code.message();
        return false;
    }
    // At most 20,588 bytes: read them all before the file is touched, so that an executable
    // that ends early costs nothing.
    const auto bytes = readBitmapBytes(file, position, bitmap, error);
    if (!bytes) return false;
    const std::string_view view(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    return writeFileAtomically(folder / bitmap.fileName, view, error);
}

}  // namespace lantrel
