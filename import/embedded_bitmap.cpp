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

// The same fields, from the 54 bytes of a candidate in place.
BitmapHeaders headersAt(std::span<const std::uint8_t> bytes) {
    BitmapHeaders headers;
    headers.pixelOffset = le::get32(bytes.data() + 10);
    headers.infoSize = le::get32(bytes.data() + 14);
    headers.width = static_cast<std::int32_t>(le::get32(bytes.data() + 18));
    headers.height = static_cast<std::int32_t>(le::get32(bytes.data() + 22));
    headers.bitCount = le::get16(bytes.data() + 28);
    headers.imageSize = le::get32(bytes.data() + 34);
    return headers;
}

std::uint64_t sumOf(std::span<const std::uint8_t> bytes) {
    std::uint64_t total = 0;
    for (const std::uint8_t byte : bytes)
        total += byte;
    return total;
}

// The byte sum of one row's copy at successive candidates. Candidates only move forwards, so
// the sum slides: the bytes left behind are taken off and the new ones added, and a hostile
// file full of fitting headers costs a pass over its bytes instead of a copy size per
// candidate. A candidate far from the last one is summed afresh, which costs no more.
class SlidingSum {
  public:
    explicit SlidingSum(std::uint32_t size) : size_(size) {}

    // The sum of the `size` bytes from `position` on, fewer at the end of the file.
    std::uint64_t at(BufferedReader& file, std::uint64_t position) {
        const std::uint64_t gap = position - start_;
        if (!valid_ || position < start_ || 2 * gap >= size_) {
            const auto bytes = file.window(position, size_);
            valid_ = true;
            start_ = position;
            end_ = position + bytes.size();
            total_ = sumOf(bytes);
            return total_;
        }
        const auto bytes = file.window(start_, static_cast<std::size_t>(gap) + size_);
        const auto kept = static_cast<std::size_t>(end_ - start_);
        total_ -= sumOf(bytes.first(static_cast<std::size_t>(gap)));
        total_ += sumOf(bytes.subspan(kept));
        end_ = start_ + bytes.size();
        start_ = position;
        return total_;
    }

  private:
    std::uint32_t size_;
    bool valid_ = false;
    std::uint64_t start_ = 0;
    std::uint64_t end_ = 0;
    std::uint64_t total_ = 0;
};

constexpr std::size_t kHeaderBytes = 54;

// One pass over the file for every row still missing: each candidate's headers are read in
// place and checked against every row before any byte is summed.
void scanForBitmaps(BufferedReader& file, std::span<const EmbeddedBitmap> bitmaps,
                    std::vector<std::optional<std::uint64_t>>& found) {
    std::vector<SlidingSum> sums;
    for (const EmbeddedBitmap& bitmap : bitmaps)
        sums.emplace_back(bitmap.copySize);
    auto missing = static_cast<std::size_t>(
        std::ranges::count_if(found, [](const auto& position) { return !position; }));
    file.seek(0);
    while (missing > 0 && file.skipTo(kLetterB)) {
        const std::uint64_t candidate = file.tell();
        const auto head = file.window(candidate, kHeaderBytes);
        if (head.size() < 2) return;  // a 'B' as the last byte
        file.seek(candidate + 1);
        if (head[1] != kLetterM) continue;
        if (head.size() < kHeaderBytes) return;  // no later candidate has whole headers either
        const BitmapHeaders headers = headersAt(head);
        for (std::size_t row = 0; row < bitmaps.size(); ++row) {
            if (found[row] || !fitsHeaders(headers, bitmaps[row])) continue;
            const std::uint64_t sum = sums[row].at(file, candidate);
            if (std::ranges::find(bitmaps[row].byteSums, sum) == bitmaps[row].byteSums.end())
                continue;
            found[row] = candidate;
            --missing;
        }
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

std::vector<std::optional<std::uint64_t>> findBitmaps(BufferedReader& file,
                                                      std::span<const EmbeddedBitmap> bitmaps) {
    std::vector<std::optional<std::uint64_t>> found(bitmaps.size());
    for (std::size_t row = 0; row < bitmaps.size(); ++row) {
        for (const std::int64_t offset : bitmaps[row].knownOffsets) {
            const auto position = static_cast<std::uint64_t>(offset);
            if (offset >= 0 && matches(file, position, bitmaps[row])) {
                found[row] = position;
                break;
            }
        }
    }
    scanForBitmaps(file, bitmaps, found);
    return found;
}

std::optional<std::uint64_t> findBitmap(BufferedReader& file, const EmbeddedBitmap& bitmap) {
    return findBitmaps(file, std::span(&bitmap, 1)).front();
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
