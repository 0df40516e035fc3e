#pragma once

#include <array>
#include <cstdint>

namespace lantrel {

// The treble clef that the score screen draws at the start of every staff: a one-bit picture,
// black on white, that serves as its own mask. It is compiled into the program, so it never
// depends on the resource folder.
inline constexpr int kClefWidth = 24;
inline constexpr int kClefHeight = 96;
inline constexpr int kClefRowBytes = kClefWidth / 8;
inline constexpr int kClefBytes = kClefRowBytes * kClefHeight;

// True where the clef is black; false for white paper and outside the picture.
bool clefInk(int x, int y);

// The picture as packed rows, top row first, leftmost pixel in the most significant bit:
// 0 for black ink, 1 for white paper, the layout of a one-bit bitmap whose colour 0 is black.
std::array<std::uint8_t, kClefBytes> clefBits();

}  // namespace lantrel
