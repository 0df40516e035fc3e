#pragma once

#include <QImage>

#include <cstdint>
#include <filesystem>
#include <span>

namespace lantrel {

// Reads an uncompressed Windows bitmap (1, 4, 8, 24 or 32 bits per pixel, bottom-up or
// top-down) into a 32-bit image. Anything it cannot make sense of, or a file cut short, gives
// a null image or leaves the missing pixels white; it never reads past the bytes it was given.
QImage readBmp(std::span<const std::uint8_t> bytes);
QImage readBmpFile(const std::filesystem::path& path);

}  // namespace lantrel
