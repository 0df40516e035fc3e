#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "rgb_image.h"

namespace lantrel {

// Uncompressed Windows bitmaps, bottom-up rows padded to four bytes, with a 40-byte info
// header: what every BMP reader understands, including the score screen's sprite loader.
std::vector<std::uint8_t> encodeBmp24(const RgbImage& image);
// A two-colour bitmap for masks: exact white is written as 1 (white, transparent), every
// other colour as 0 (black, opaque).
std::vector<std::uint8_t> encodeBmpMask(const RgbImage& image);
// An 8-bit RGB PNG with stored (uncompressed) deflate blocks: large, but it needs no zlib.
std::vector<std::uint8_t> encodePng(const RgbImage& image);

// Writes the bytes to `path`; false when the file cannot be written completely.
bool writeFileBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

}  // namespace lantrel
