// Looks for bitmaps in arbitrary files and checks every answer against a plain in-memory
// reading of the same rules: the buffered reader's seeks, refills and fast 'B' search must
// never change where (or whether) an image is found. Besides the four real bitmaps, the first
// 15 bytes describe a small bitmap of their own, so that the fuzzer can build matching images.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>

#include "import/embedded_bitmap.h"

namespace {

using lantrel::EmbeddedBitmap;
using Bytes = std::span<const std::uint8_t>;

constexpr std::size_t kRowPrefix = 15;

std::uint32_t little(Bytes bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = 0; i < size; ++i)
        value |= std::uint32_t{bytes[at + static_cast<std::size_t>(i)]} << (8 * i);
    return value;
}

bool referenceMatches(Bytes file, std::uint64_t at, const EmbeddedBitmap& bitmap) {
    if (at > file.size() || file.size() - at < 54) return false;
    const auto width = static_cast<std::int32_t>(little(file, at + 18, 4));
    const auto height = static_cast<std::int32_t>(little(file, at + 22, 4));
    if (width != bitmap.width || height != bitmap.height) return false;
    const std::uint64_t total = std::uint64_t{little(file, at + 14, 4)} + little(file, at + 10, 4) +
                                14 + little(file, at + 34, 4);
    if (bitmap.oneBitPerPixel && little(file, at + 28, 2) != 1) return false;
    if (total != bitmap.copySize) return false;
    const auto end = file.begin() + static_cast<std::ptrdiff_t>(
                                        std::min<std::uint64_t>(at + bitmap.copySize, file.size()));
    std::uint64_t sum = 0;
    for (auto byte = file.begin() + static_cast<std::ptrdiff_t>(at); byte != end; ++byte)
        sum += *byte;
    return std::ranges::find(bitmap.byteSums, sum) != bitmap.byteSums.end();
}

std::optional<std::uint64_t> referenceFind(Bytes file, const EmbeddedBitmap& bitmap) {
    for (const std::int64_t offset : bitmap.knownOffsets)
        if (offset >= 0 && referenceMatches(file, static_cast<std::uint64_t>(offset), bitmap))
            return static_cast<std::uint64_t>(offset);
    for (std::uint64_t q = 0; q < file.size(); ++q) {
        if (file[q] != 'B') continue;
        if (q + 1 == file.size()) return std::nullopt;
        if (file[q + 1] == 'M' && referenceMatches(file, q, bitmap)) return q;
    }
    return std::nullopt;
}

EmbeddedBitmap rowFrom(Bytes prefix) {
    auto offset = [&](std::size_t at) -> std::int64_t {
        const std::uint32_t value = little(prefix, at, 2);
        return value == 0xFFFF ? -1 : value;
    };
    return {"fuzz.bmp",
            prefix[0],
            prefix[1],
            (prefix[2] & 1) != 0,
            little(prefix, 3, 2),
            {little(prefix, 5, 3), little(prefix, 8, 3)},
            {offset(11), offset(13)}};
}

void check(int fd, Bytes file, const EmbeddedBitmap& bitmap) {
    lantrel::BufferedReader reader(::dup(fd));
    if (lantrel::findBitmap(reader, bitmap) != referenceFind(file, bitmap)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kRowPrefix) return 0;
    const Bytes input(data, size);
    const Bytes file = input.subspan(kRowPrefix);
    const int fd = ::memfd_create("executable", MFD_CLOEXEC);
    if (fd < 0) std::abort();
    if (!file.empty() && ::write(fd, file.data(), file.size()) != static_cast<ssize_t>(file.size()))
        std::abort();
    const std::array<EmbeddedBitmap, 5> rows = {
        rowFrom(input.first(kRowPrefix)), lantrel::kEmbeddedBitmaps[0],
        lantrel::kEmbeddedBitmaps[1], lantrel::kEmbeddedBitmaps[2], lantrel::kEmbeddedBitmaps[3]};
    for (const EmbeddedBitmap& bitmap : rows)
        check(fd, file, bitmap);
    // All rows in one pass must answer as each row alone does.
    lantrel::BufferedReader reader(::dup(fd));
    const auto together = lantrel::findBitmaps(reader, rows);
    for (std::size_t row = 0; row < rows.size(); ++row)
        if (together[row] != referenceFind(file, rows[row])) std::abort();
    ::close(fd);
    return 0;
}
