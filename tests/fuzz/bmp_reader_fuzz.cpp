// Feeds arbitrary bytes to the sprite bitmap reader: it must never crash or read past the
// bytes it was given, and whatever it accepts must be a whole picture.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "video/bmp_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QImage image = lantrel::readBmp(std::span(data, size));
    if (!image.isNull() && (image.width() <= 0 || image.height() <= 0)) std::abort();
    return 0;
}
