#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "resources/resource_files.h"

namespace lantrel {
namespace {

// A small reader for the uncompressed bitmaps we write, checking every header field on the
// way; pixels come out as RGB triples, top row first.
struct Bitmap {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    std::vector<std::uint8_t> rgb;

    bool white(int x, int y) const { return pixel(x, y) == 0xFFFFFF; }
    bool black(int x, int y) const { return pixel(x, y) == 0; }
    std::uint32_t pixel(int x, int y) const {
        const auto at = 3 * (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                             static_cast<std::size_t>(x));
        return (std::uint32_t{rgb[at]} << 16) | (std::uint32_t{rgb[at + 1]} << 8) | rgb[at + 2];
    }
};

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t le(const std::vector<std::uint8_t>& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
    return value;
}

Bitmap readBitmap(const char* name) {
    SCOPED_TRACE(name);
    const auto bytes = readBytes(test::builtRsrcFolder() / name);
    Bitmap bitmap;
    if (bytes.size() < 54) {
        ADD_FAILURE() << "too short for a bitmap";
        return bitmap;
    }
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(le(bytes, 2, 4), bytes.size());
    const std::uint32_t offset = le(bytes, 10, 4);
    EXPECT_EQ(le(bytes, 14, 4), 40u);
    bitmap.width = static_cast<int>(le(bytes, 18, 4));
    bitmap.height = static_cast<int>(le(bytes, 22, 4));
    EXPECT_EQ(le(bytes, 26, 2), 1u);
    bitmap.bitsPerPixel = static_cast<int>(le(bytes, 28, 2));
    EXPECT_EQ(le(bytes, 30, 4), 0u) << "compressed";
    const std::uint32_t palette = bitmap.bitsPerPixel == 1 ? 2 : 0;
    EXPECT_EQ(offset, 54 + 4 * palette);
    const auto stride =
        static_cast<std::size_t>((bitmap.width * bitmap.bitsPerPixel + 31) / 32 * 4);
    EXPECT_EQ(bytes.size(), offset + stride * static_cast<std::size_t>(bitmap.height));
    if (bytes.size() != offset + stride * static_cast<std::size_t>(bitmap.height)) return bitmap;

    for (int y = 0; y < bitmap.height; ++y) {
        const std::size_t row = offset + stride * static_cast<std::size_t>(bitmap.height - 1 - y);
        for (int x = 0; x < bitmap.width; ++x) {
            if (bitmap.bitsPerPixel == 24) {
                const std::size_t at = row + 3 * static_cast<std::size_t>(x);
                bitmap.rgb.insert(bitmap.rgb.end(), {bytes[at + 2], bytes[at + 1], bytes[at]});
            } else {
                const int index = (bytes[row + static_cast<std::size_t>(x / 8)] >> (7 - x % 8)) & 1;
                const std::size_t entry = 54 + 4 * static_cast<std::size_t>(index);
                bitmap.rgb.insert(bitmap.rgb.end(),
                                  {bytes[entry + 2], bytes[entry + 1], bytes[entry]});
            }
        }
    }
    return bitmap;
}

struct SheetPair {
    const char* colour;
    const char* mask;
    int width;
    int height;
};
constexpr SheetPair kIcons{"icons.bmp", "icons_mask.bmp", 64, 80};
constexpr SheetPair kRunner{"running.bmp", "running_mask.bmp", 64, 66};

int opaqueIn(const Bitmap& mask, int left, int top, int width, int height) {
    int count = 0;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
            count += mask.black(x, y) ? 1 : 0;
    return count;
}

TEST(SpriteBitmaps, HaveTheSizesAndDepthsTheScoreScreenReads) {
    for (const SheetPair& pair : {kIcons, kRunner}) {
        const Bitmap colour = readBitmap(pair.colour);
        const Bitmap mask = readBitmap(pair.mask);
        EXPECT_EQ(colour.width, pair.width);
        EXPECT_EQ(colour.height, pair.height);
        EXPECT_EQ(colour.bitsPerPixel, 24);
        EXPECT_EQ(mask.width, pair.width);
        EXPECT_EQ(mask.height, pair.height);
        EXPECT_EQ(mask.bitsPerPixel, 1);
    }
}

// Only exact white is transparent in a mask. Where the mask says transparent the colour
// picture must be white too, or the sprite would lose those pixels; where the picture has
// colour the mask must keep it.
TEST(SpriteBitmaps, MasksAreBlackExactlyWhereThePicturesAreOpaque) {
    for (const SheetPair& pair : {kIcons, kRunner}) {
        SCOPED_TRACE(pair.mask);
        const Bitmap colour = readBitmap(pair.colour);
        const Bitmap mask = readBitmap(pair.mask);
        ASSERT_FALSE(mask.rgb.empty());
        ASSERT_FALSE(colour.rgb.empty());
        for (int y = 0; y < pair.height; ++y) {
            for (int x = 0; x < pair.width; ++x) {
                ASSERT_TRUE(mask.white(x, y) || mask.black(x, y)) << x << "," << y;
                if (mask.white(x, y)) {
                    EXPECT_TRUE(colour.white(x, y)) << x << "," << y;
                }
                if (!colour.white(x, y)) {
                    EXPECT_TRUE(mask.black(x, y)) << x << "," << y;
                }
            }
        }
    }
}

TEST(SpriteBitmaps, EachInstrumentHasADistinctIconInItsCell) {
    const Bitmap colour = readBitmap(kIcons.colour);
    const Bitmap mask = readBitmap(kIcons.mask);
    ASSERT_FALSE(mask.rgb.empty());
    ASSERT_FALSE(colour.rgb.empty());
    auto cell = [&](int k) {
        std::vector<std::uint32_t> pixels;
        for (int y = 16 * (k / 4); y < 16 * (k / 4) + 16; ++y)
            for (int x = 16 * (k % 4); x < 16 * (k % 4) + 16; ++x)
                pixels.push_back(mask.black(x, y) ? colour.pixel(x, y) : 0xFF000000u);
        return pixels;
    };
    for (int k = 0; k < 15; ++k) {
        SCOPED_TRACE(testing::Message() << "cell " << k);
        EXPECT_GE(opaqueIn(mask, 16 * (k % 4), 16 * (k / 4), 16, 16), 40);
        for (int other = 0; other < k; ++other)
            EXPECT_NE(cell(k), cell(other)) << "same as " << other;
    }
    // The sixteenth cell and the rows below the cells are never drawn.
    EXPECT_EQ(opaqueIn(mask, 48, 48, 16, 16), 0);
    EXPECT_EQ(opaqueIn(mask, 0, 64, 64, 16), 0);
}

TEST(SpriteBitmaps, TheRunnerStaysInsideTheTwoAreasTheScreenReads) {
    const Bitmap mask = readBitmap(kRunner.mask);
    ASSERT_FALSE(mask.rgb.empty());
    const int step = opaqueIn(mask, 0, 1, 16, 21);
    const int leap = opaqueIn(mask, 16, 2, 16, 20);
    EXPECT_GE(step, 60);
    EXPECT_GE(leap, 60);
    EXPECT_EQ(opaqueIn(mask, 0, 0, 64, 66), step + leap);
}

// ImageMagick stands in for every other program that will open these files.
TEST(SpriteBitmaps, ImageMagickReadsTheSamePixels) {
    if (std::system("command -v convert >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    for (const char* name : {kIcons.colour, kIcons.mask, kRunner.colour, kRunner.mask}) {
        SCOPED_TRACE(name);
        const Bitmap ours = readBitmap(name);
        const std::string command =
            "convert '" + (test::builtRsrcFolder() / name).string() + "' -depth 8 rgb:-";
        std::FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::vector<std::uint8_t> theirs;
        for (int c = std::fgetc(pipe); c != EOF; c = std::fgetc(pipe))
            theirs.push_back(static_cast<std::uint8_t>(c));
        EXPECT_EQ(pclose(pipe), 0);
        EXPECT_EQ(theirs, ours.rgb);
    }
}

}  // namespace
}  // namespace lantrel
