#pragma once

#include <QImage>

#include <cstdint>
#include <filesystem>
#include <span>

namespace lantrel {

// Neither side of a bitmap may exceed this: the largest sprite sheet is 64 x 80 pixels.
inline constexpr int kLargestBmpSide = 1024;

// Reads an uncompressed Windows bitmap (1, 4, 8, 24 or 32 bits per pixel, bottom-up or
// top-down) into a 32-bit image. Anything it cannot make sense of gives a null image: a side
// above kLargestBmpSide, or a file that holds fewer rows than its header declares. Both are
// checked before the picture is allocated, and nothing past the given bytes is ever read.
QImage readBmp(std::span<const std::uint8_t> bytes);
QImage readBmpFile(const std::filesystem::path& path);

}  // namespace lantrel
