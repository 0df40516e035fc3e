#include "rgb_image.h"

namespace lantrel {

RgbImage::RgbImage(int width, int height, Rgb background)
    : width_(width),
      height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), background) {}

Rgb RgbImage::at(int x, int y) const {
    if (!contains(x, y)) return kWhite;
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                   static_cast<std::size_t>(x)];
}

void RgbImage::set(int x, int y, Rgb colour) {
    if (!contains(x, y)) return;
    pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
            static_cast<std::size_t>(x)] = colour;
}

void RgbImage::fill(int x, int y, int width, int height, Rgb colour) {
    for (int row = y; row < y + height; ++row)
        for (int column = x; column < x + width; ++column)
            set(column, row, colour);
}

void RgbImage::drawMasked(const RgbImage& source, const RgbImage& mask, Area area, int x, int y,
                          int scale) {
    for (int row = 0; row < area.height; ++row) {
        for (int column = 0; column < area.width; ++column) {
            const int sourceX = area.x + column;
            const int sourceY = area.y + row;
            if (mask.at(sourceX, sourceY) == kWhite) continue;
            fill(x + column * scale, y + row * scale, scale, scale, source.at(sourceX, sourceY));
        }
    }
}

}  // namespace lantrel
