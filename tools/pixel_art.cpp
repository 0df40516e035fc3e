#include "pixel_art.h"

namespace lantrel {

void paintArt(PixelArt art, int x, int y, RgbImage& colour, RgbImage& mask) {
    for (std::size_t row = 0; row < art.size(); ++row) {
        for (std::size_t column = 0; column < art[row].size(); ++column) {
            const auto pixel = paletteColour(art[row][column]);
            if (!pixel) continue;
            const int px = x + static_cast<int>(column);
            const int py = y + static_cast<int>(row);
            colour.set(px, py, *pixel);
            mask.set(px, py, kBlack);
        }
    }
}

}  // namespace lantrel
