#include "resources/clef_image.h"

#include <gtest/gtest.h>

namespace lantrel {
namespace {

TEST(ClefImage, PackedRowsHoldWhitePaperAsOneAndInkAsZero) {
    const auto bits = clefBits();
    int ink = 0;
    for (int y = 0; y < kClefHeight; ++y) {
        for (int x = 0; x < kClefWidth; ++x) {
            const int bit =
                (bits[static_cast<std::size_t>(y * kClefRowBytes + x / 8)] >> (7 - x % 8)) & 1;
            EXPECT_EQ(bit == 0, clefInk(x, y)) << x << "," << y;
            ink += clefInk(x, y) ? 1 : 0;
        }
    }
    EXPECT_GT(ink, kClefWidth * kClefHeight / 10);
    EXPECT_FALSE(clefInk(-1, 50));
    EXPECT_FALSE(clefInk(kClefWidth, 50));
    EXPECT_FALSE(clefInk(10, kClefHeight));
}

// The score screen's staff lines lie on rows 14, 30, 46, 62 and 78 of the clef's box. A
// treble clef rises above the top line, falls below the bottom one, and curls around the G
// line: on row 62 the curl's two sides and the stem cross it as separate strokes.
TEST(ClefImage, SpansTheStaffAndCurlsAroundTheGLine) {
    int top = kClefHeight, bottom = -1;
    for (int y = 0; y < kClefHeight; ++y)
        for (int x = 0; x < kClefWidth; ++x)
            if (clefInk(x, y)) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    EXPECT_LT(top, 14);
    EXPECT_GT(bottom, 79);
    int strokes = 0;
    for (int x = 0; x < kClefWidth; ++x)
        if (clefInk(x, 62) && !clefInk(x - 1, 62)) ++strokes;
    EXPECT_GE(strokes, 3);
}

}  // namespace
}  // namespace lantrel
