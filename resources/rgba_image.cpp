#include "rgba_image.h"

#include <cstddef>

namespace lantrel {

RgbaImage::RgbaImage(int width, int height)
    : width_(width > 0 && height > 0 ? width : 0),
      height_(width > 0 && height > 0 ? height : 0),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), kClear) {}

Rgba RgbaImage::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return kClear;
    return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

void RgbaImage::set(int x, int y, Rgba colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[static_cast<std::size_t>(y) * width_ + x] = colour;
}

RgbaImage RgbaImage::scaled(int factor) const {
    if (factor < 1) return {};
    RgbaImage result(width_ * factor, height_ * factor);
    for (int y = 0; y < result.height(); ++y)
        for (int x = 0; x < result.width(); ++x)
            result.set(x, y, at(x / factor, y / factor));
    return result;
}

}  // namespace lantrel
