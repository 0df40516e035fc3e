#include "resources/app_icon.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "resources/pixel_palette.h"

namespace lantrel {
namespace {

TEST(AppIcon, EveryThemeSizeIsSquareAndOfThatSize) {
    for (int size : kAppIconSizes) {
        const RgbaImage icon = appIcon(size);
        EXPECT_EQ(icon.width(), size);
        EXPECT_EQ(icon.height(), size);
    }
}

TEST(AppIcon, SizesThatNoDrawingDividesGiveNothing) {
    EXPECT_TRUE(appIcon(0).isNull());
    EXPECT_TRUE(appIcon(-32).isNull());
    EXPECT_TRUE(appIcon(24).isNull());
    EXPECT_TRUE(appIcon(40).isNull());
}

// Larger sizes are whole-number enlargements, so every block of pixels repeats one pixel of
// the drawing: 64 and 256 from the 32-pixel drawing, 48 from the 16-pixel one.
TEST(AppIcon, LargerSizesRepeatThePixelsOfTheirDrawing) {
    const RgbaImage small = appIcon(16), large = appIcon(32);
    for (const auto& [size, art] : {std::pair{48, &small}, {64, &large}, {256, &large}}) {
        const RgbaImage icon = appIcon(size);
        const int factor = size / art->width();
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                ASSERT_EQ(icon.at(x, y), art->at(x / factor, y / factor))
                    << size << ": " << x << "," << y;
    }
}

TEST(AppIcon, IsARoundedPictureOfSeveralColours) {
    for (int side : {16, 32}) {
        const RgbaImage icon = appIcon(side);
        EXPECT_EQ(icon.at(0, 0).a, 0) << side;
        EXPECT_EQ(icon.at(side - 1, side - 1).a, 0) << side;
        EXPECT_EQ(icon.at(side / 2, side / 2).a, 255) << side;
        std::set<std::tuple<int, int, int>> colours;
        for (const Rgba& pixel : icon.pixels()) {
            EXPECT_TRUE(pixel.a == 0 || pixel.a == 255);
            if (pixel.a == 255) colours.insert({pixel.r, pixel.g, pixel.b});
        }
        // backdrop, outline, three lane colours and the note at least
        EXPECT_GE(colours.size(), 6u) << side;
    }
}

TEST(RgbaImage, ScalingRepeatsEachPixelAndReadsOutsideAreClear) {
    RgbaImage image(2, 1);
    image.set(1, 0, {10, 20, 30, 255});
    image.set(5, 5, {1, 1, 1, 255});  // outside: ignored
    const RgbaImage big = image.scaled(3);
    ASSERT_EQ(big.width(), 6);
    ASSERT_EQ(big.height(), 3);
    EXPECT_EQ(big.at(2, 2), kClear);
    EXPECT_EQ(big.at(3, 0), (Rgba{10, 20, 30, 255}));
    EXPECT_EQ(big.at(5, 2), (Rgba{10, 20, 30, 255}));
    EXPECT_EQ(big.at(6, 0), kClear);
    EXPECT_EQ(big.at(-1, 0), kClear);
    EXPECT_TRUE(image.scaled(0).isNull());
    EXPECT_TRUE(RgbaImage(0, 5).isNull());
}

TEST(PixelPalette, DrawingsWithAShortRowOrAnUnknownColourAreRefused) {
    constexpr std::array<std::string_view, 2> good = {"K.", ".W"};
    constexpr std::array<std::string_view, 2> shortRow = {"K.", "W"};
    constexpr std::array<std::string_view, 2> unknown = {"K.", ".Z"};
    static_assert(isWellFormedArt(good, 2, 2));
    EXPECT_FALSE(isWellFormedArt(good, 2, 3));
    EXPECT_FALSE(isWellFormedArt(shortRow, 2, 2));
    EXPECT_FALSE(isWellFormedArt(unknown, 2, 2));
    constexpr auto pixels = artPixels<2, 2>(good);
    EXPECT_EQ(pixels[0], (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(pixels[1], kClear);
    EXPECT_EQ(pixels[3], (Rgba{255, 255, 255, 255}));
}

}  // namespace
}  // namespace lantrel
