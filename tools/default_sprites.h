#pragma once

#include <array>

#include "rgb_image.h"

namespace lantrel {

// A sprite sheet as the score screen loads it: the colour picture, white where transparent,
// and its mask, black where the sprite is opaque and exact white elsewhere.
struct SpriteSheet {
    RgbImage colour;
    RgbImage mask;
};

inline constexpr int kIconSheetWidth = 64;
inline constexpr int kIconSheetHeight = 80;
inline constexpr int kRunnerSheetWidth = 64;
inline constexpr int kRunnerSheetHeight = 66;

// Where the score screen reads each icon cell (k at row k / 4, column k % 4 of the top
// 64 x 64) and the two runner cells.
RgbImage::Area iconCellArea(int cell);
inline constexpr std::array<RgbImage::Area, 2> kRunnerCellAreas = {
    {{0, 1, 16, 21}, {16, 2, 16, 20}}};

SpriteSheet buildIconSheet();
SpriteSheet buildRunnerSheet();

}  // namespace lantrel
