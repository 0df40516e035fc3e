#pragma once

#include <array>
#include <optional>
#include <span>
#include <string_view>

#include "resources/pixel_palette.h"
#include "rgb_image.h"

namespace lantrel {

// Our pictures are written as text, one character per pixel, in the drawing language of the
// pictures compiled into the program (resources/pixel_palette.h): '.' is transparent and every
// other character names a colour of that palette.
inline constexpr char kTransparent = kClearSymbol;

constexpr std::optional<Rgb> paletteColour(char symbol) {
    for (const PaletteColour& entry : kArtPalette)
        if (entry.symbol == symbol) return Rgb{entry.colour.r, entry.colour.g, entry.colour.b};
    return std::nullopt;
}

// Rows of symbols. The drawings are checked at compile time with isWellFormed, so a typo in
// an icon stops the build instead of producing a wrong picture.
using PixelArt = std::span<const std::string_view>;

constexpr bool isWellFormed(PixelArt art, std::size_t width, std::size_t height) {
    if (art.size() != height) return false;
    for (std::string_view row : art) {
        if (row.size() != width) return false;
        for (char symbol : row)
            if (symbol != kTransparent && !paletteColour(symbol)) return false;
    }
    return true;
}

// Paints the drawing with its top left at (x, y): its colours into `colour`, and black into
// `mask` for every pixel that is not transparent.
void paintArt(PixelArt art, int x, int y, RgbImage& colour, RgbImage& mask);

}  // namespace lantrel
