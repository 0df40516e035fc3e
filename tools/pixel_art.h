#pragma once

#include <array>
#include <optional>
#include <span>
#include <string_view>

#include "rgb_image.h"

namespace lantrel {

// Our pictures are written as text, one character per pixel, so that anyone can change an
// icon in an editor. '.' is transparent; every other character names a colour below.
struct PaletteEntry {
    char symbol;
    Rgb colour;
};

inline constexpr char kTransparent = '.';

inline constexpr std::array<PaletteEntry, 24> kPalette = {{
    {'K', {0, 0, 0}},        // outline black
    {'W', {255, 255, 255}},  // opaque white (piano keys, drum heads)
    {'l', {215, 215, 215}},  // light grey
    {'g', {150, 150, 150}},  // grey
    {'G', {85, 85, 85}},     // dark grey
    {'s', {190, 200, 215}},  // silver
    {'r', {225, 45, 45}},    // red
    {'R', {150, 25, 25}},    // dark red
    {'o', {245, 145, 35}},   // orange
    {'y', {250, 210, 60}},   // yellow, brass
    {'Y', {190, 135, 20}},   // dark gold
    {'n', {225, 180, 115}},  // light wood
    {'b', {165, 100, 45}},   // wood
    {'B', {95, 55, 25}},     // dark wood
    {'c', {150, 205, 245}},  // light blue
    {'u', {45, 105, 215}},   // blue
    {'U', {30, 45, 130}},    // navy
    {'e', {70, 175, 80}},    // green
    {'E', {30, 110, 45}},    // dark green
    {'p', {250, 205, 165}},  // skin
    {'P', {205, 140, 100}},  // skin shadow
    {'k', {245, 140, 185}},  // pink
    {'m', {150, 85, 205}},   // purple
    {'M', {90, 40, 140}},    // dark purple
}};

constexpr std::optional<Rgb> paletteColour(char symbol) {
    for (const PaletteEntry& entry : kPalette)
        if (entry.symbol == symbol) return entry.colour;
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
