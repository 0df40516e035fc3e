#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include "rgba_image.h"

namespace lantrel {

// The pictures compiled into the program are written as text, one character per pixel, so
// that anyone can change them in an editor. '.' is transparent; every other character names
// a colour below. The letters mean what they mean in the sprite art of tools/, so one drawing
// language serves both; the last few exist for the toolbar and the program's icon.
struct PaletteColour {
    char symbol;
    Rgba colour;
};

inline constexpr char kClearSymbol = '.';

inline constexpr std::array<PaletteColour, 30> kArtPalette = {{
    {'K', {0, 0, 0, 255}},        // outline black
    {'W', {255, 255, 255, 255}},  // opaque white
    {'l', {215, 215, 215, 255}},  // light grey
    {'g', {150, 150, 150, 255}},  // grey
    {'G', {85, 85, 85, 255}},     // dark grey
    {'s', {190, 200, 215, 255}},  // silver
    {'r', {225, 45, 45, 255}},    // red
    {'R', {150, 25, 25, 255}},    // dark red
    {'o', {245, 145, 35, 255}},   // orange
    {'y', {250, 210, 60, 255}},   // yellow, brass
    {'Y', {190, 135, 20, 255}},   // dark gold
    {'n', {225, 180, 115, 255}},  // light wood
    {'b', {165, 100, 45, 255}},   // wood
    {'B', {95, 55, 25, 255}},     // dark wood
    {'c', {150, 205, 245, 255}},  // light blue
    {'u', {45, 105, 215, 255}},   // blue
    {'U', {30, 45, 130, 255}},    // navy
    {'e', {70, 175, 80, 255}},    // green
    {'E', {30, 110, 45, 255}},    // dark green
    {'p', {250, 205, 165, 255}},  // skin
    {'P', {205, 140, 100, 255}},  // skin shadow
    {'k', {245, 140, 185, 255}},  // pink
    {'m', {150, 85, 205, 255}},   // purple
    {'M', {90, 40, 140, 255}},    // dark purple
    {'v', {255, 238, 150, 255}},  // pale yellow: the lit front of a folder
    {'h', {160, 225, 130, 255}},  // light green
    {'d', {20, 25, 60, 255}},     // night blue: the icon's backdrop
    {'D', {45, 55, 100, 255}},    // dusk blue: empty cells on the backdrop
    {'q', {255, 120, 120, 255}},  // light red
    {'i', {110, 160, 240, 255}},  // bright blue
}};

// A letter listed twice would quietly paint every use of it in the first colour.
constexpr bool paletteIsUnambiguous() {
    for (std::size_t i = 0; i < kArtPalette.size(); ++i) {
        if (kArtPalette[i].symbol == kClearSymbol || kArtPalette[i].colour.a != 255) return false;
        for (std::size_t j = i + 1; j < kArtPalette.size(); ++j)
            if (kArtPalette[i].symbol == kArtPalette[j].symbol) return false;
    }
    return true;
}
static_assert(paletteIsUnambiguous(), "each palette letter once, each colour opaque");

constexpr std::optional<Rgba> artColour(char symbol) {
    if (symbol == kClearSymbol) return kClear;
    for (const PaletteColour& entry : kArtPalette)
        if (entry.symbol == symbol) return entry.colour;
    return std::nullopt;
}

// Every drawing is checked with this in a static_assert, so that a short row or an unknown
// colour stops the build instead of producing a wrong picture.
constexpr bool isWellFormedArt(std::span<const std::string_view> rows, std::size_t width,
                               std::size_t height) {
    if (rows.size() != height) return false;
    for (std::string_view row : rows) {
        if (row.size() != width) return false;
        for (char symbol : row)
            if (!artColour(symbol)) return false;
    }
    return true;
}

// The drawing's pixels, rows top to bottom. Evaluated at compile time for the toolbar, so the
// program carries finished pixels rather than text.
template <std::size_t Width, std::size_t Height>
constexpr std::array<Rgba, Width * Height> artPixels(
    const std::array<std::string_view, Height>& rows) {
    std::array<Rgba, Width * Height> pixels{};
    for (std::size_t y = 0; y < Height; ++y)
        for (std::size_t x = 0; x < Width; ++x)
            pixels[y * Width + x] = artColour(rows[y][x]).value_or(kClear);
    return pixels;
}

}  // namespace lantrel
