#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "buffered_reader.h"

namespace lantrel {

// One sprite bitmap that the sequencer's executable carries as an embedded BMP image, with
// what recognises it. The executable is not parsed: the image is looked for at the offsets
// where releases r6 and r7 hold it, then anywhere, and accepted only when its dimensions,
// sizes and byte sum fit.
struct EmbeddedBitmap {
    std::string_view fileName;
    std::int32_t width;
    std::int32_t height;
    bool oneBitPerPixel;  // the colour picture's bit count is not checked, the mask's must be 1
    // The image's own size plus the 54 bytes that follow it in the executable; the written
    // file carries those bytes too, and readers go by the headers.
    std::uint32_t copySize;
    std::array<std::uint64_t, 2> byteSums;     // of the copySize bytes; r6 and r7 (or one, twice)
    std::array<std::int64_t, 2> knownOffsets;  // tried before scanning; negative = none
};

// The four bitmaps, in the order they are extracted.
extern const std::array<EmbeddedBitmap, 4> kEmbeddedBitmaps;

// Whether the candidate image at `position` is `bitmap`. Leaves the reader anywhere.
bool matches(BufferedReader& file, std::uint64_t position, const EmbeddedBitmap& bitmap);

// Where `bitmap` lies in the file: at the first known offset, else the second, else the first
// "BM" in the file that matches. After a rejected candidate the scan resumes one byte further
// on, so that an image starting inside a false candidate's headers is still found. The scan is
// linear in the file's size: a candidate is rejected by its headers before any byte is summed,
// and the sums slide from one candidate to the next.
std::optional<std::uint64_t> findBitmap(BufferedReader& file, const EmbeddedBitmap& bitmap);
// The same for several bitmaps, in one pass over the file; the answers in their order.
std::vector<std::optional<std::uint64_t>> findBitmaps(BufferedReader& file,
                                                      std::span<const EmbeddedBitmap> bitmaps);

// The copySize bytes at `position`; nothing, with `error` set, when the executable ends first.
std::optional<std::vector<std::uint8_t>> readBitmapBytes(BufferedReader& file,
                                                         std::uint64_t position,
                                                         const EmbeddedBitmap& bitmap,
                                                         std::string& error);

// Writes the copySize bytes at `position` as folder/fileName, creating the folder when needed.
// The file appears whole or not at all: when the executable ends early or writing fails,
// nothing is left behind and an existing file stays as it was. `error` says why on false.
bool writeBitmap(const std::filesystem::path& folder, BufferedReader& file, std::uint64_t position,
                 const EmbeddedBitmap& bitmap, std::string& error);

}  // namespace lantrel
