#pragma once

#include <cstdint>
#include <string>

#include "base/byte_order.h"

namespace lantrel::test {

// A bitmap file whose header declares width x height pixels of `bitsPerPixel` (with a
// black-and-white palette at 1 bit) but which holds only `rowsPresent` rows of zeros: what a
// hostile or damaged sprite file looks like.
inline std::string forgedBitmap(std::int32_t width, std::int32_t height, int bitsPerPixel,
                                std::size_t rowsPresent) {
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * bitsPerPixel + 31) / 32 * 4;
    const std::string palette =
        bitsPerPixel == 1 ? std::string("\0\0\0\0\xFF\xFF\xFF\0", 8) : std::string();
    const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(palette.size());
    const std::string pixels(rowBytes * rowsPresent, '\0');
    std::string out = "BM";
    le::put32(out, static_cast<std::uint32_t>(offset + pixels.size()));
    le::put32(out, 0);
    le::put32(out, offset);
    le::put32(out, 40);
    le::put32(out, static_cast<std::uint32_t>(width));
    le::put32(out, static_cast<std::uint32_t>(height));
    le::put16(out, 1);
    le::put16(out, static_cast<std::uint16_t>(bitsPerPixel));
    le::put32(out, 0);  // uncompressed
    le::put32(out, static_cast<std::uint32_t>(rowBytes * static_cast<std::size_t>(height)));
    le::put32(out, 2834);
    le::put32(out, 2834);
    le::put32(out, 0);
    le::put32(out, 0);
    return out + palette + pixels;
}

}  // namespace lantrel::test
