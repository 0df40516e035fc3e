#include "video/bmp_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/forged_bitmap.h"
#include "support/temp_dir.h"

namespace lantrel {
namespace {

// Bitmaps written by ImageMagick in the layouts sprite files come in.
class BmpReaderTest : public ::testing::Test {
  protected:
    std::filesystem::path convert(const std::string& options, const std::string& name) {
        const auto path = dir / name;
        const std::string command =
            "convert " + options + " 'BMP3:" + path.string() + "' 2>/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << command << " (is imagemagick installed?)";
        return path;
    }
    static std::vector<std::uint8_t> bytes(const std::filesystem::path& path) {
        const std::string text = test::TempDir::read(path);
        return {text.begin(), text.end()};
    }
    test::TempDir dir;
};

TEST_F(BmpReaderTest, ReadsTrueColourPaletteAndOneBitPictures) {
    const QImage colour = readBmpFile(convert(
        "-size 7x5 xc:'rgb(10,20,30)' -fill 'rgb(200,100,50)' -draw 'point 6,0' -type TrueColor",
        "c.bmp"));
    ASSERT_EQ(colour.size(), QSize(7, 5));
    EXPECT_EQ(colour.pixel(0, 4), qRgb(10, 20, 30));
    EXPECT_EQ(colour.pixel(6, 0), qRgb(200, 100, 50)) << "rows are stored bottom-up";

    const QImage palette = readBmpFile(
        convert("-size 5x3 xc:yellow -fill blue -draw 'point 1,1' -type Palette", "p.bmp"));
    ASSERT_EQ(palette.size(), QSize(5, 3));
    EXPECT_EQ(palette.pixel(1, 1), qRgb(0, 0, 255));
    EXPECT_EQ(palette.pixel(4, 2), qRgb(255, 255, 0));

    const QImage mono = readBmpFile(
        convert("-size 11x4 xc:white -fill black -draw 'point 9,3' -type Bilevel", "m.bmp"));
    ASSERT_EQ(mono.size(), QSize(11, 4));
    EXPECT_EQ(mono.pixel(9, 3), qRgb(0, 0, 0));
    EXPECT_EQ(mono.pixel(8, 3), qRgb(255, 255, 255));
}

TEST_F(BmpReaderTest, ACutFileOrGarbageGivesNothing) {
    auto data = bytes(convert("-size 4x4 xc:'rgb(9,9,9)' -type TrueColor", "t.bmp"));
    EXPECT_EQ(readBmp(data).size(), QSize(4, 4));
    data.resize(data.size() - 16 * 2);  // the top two rows (stored last) are missing
    EXPECT_TRUE(readBmp(data).isNull()) << "fewer rows than the header declares";

    const std::string junk = "BM this is not a bitmap header at all, just words";
    EXPECT_TRUE(readBmp(std::span(reinterpret_cast<const std::uint8_t*>(junk.data()), junk.size()))
                    .isNull());
    EXPECT_TRUE(readBmp({}).isNull());
    EXPECT_TRUE(readBmpFile(dir / "missing.bmp").isNull());
    data = bytes(dir / "t.bmp");
    data[22] = 0xFF, data[23] = 0xFF, data[24] = 0xFF, data[25] = 0x7F;  // an absurd height
    EXPECT_TRUE(readBmp(data).isNull());
}

std::vector<std::uint8_t> asBytes(const std::string& text) {
    return {text.begin(), text.end()};
}

TEST_F(BmpReaderTest, ADeclaredSizeIsCheckedBeforeThePictureIsMade) {
    // 16384 x 16384 declared, 90 rows present: a gigabyte of picture for a file of kilobytes.
    EXPECT_TRUE(readBmp(asBytes(test::forgedBitmap(16384, 16384, 32, 90))).isNull());
    EXPECT_TRUE(readBmp(asBytes(test::forgedBitmap(16384, 16384, 1, 90))).isNull());
    EXPECT_TRUE(readBmp(asBytes(test::forgedBitmap(16384, -16384, 1, 90))).isNull());
    // An information size that wraps round in 32 bits, in a file that ends inside its header.
    std::string wrapped = test::forgedBitmap(4, 4, 24, 4).substr(0, 30);
    wrapped[10] = 30, wrapped[11] = wrapped[12] = wrapped[13] = 0;
    wrapped[14] = '\xFC', wrapped[15] = wrapped[16] = wrapped[17] = '\xFF';
    EXPECT_TRUE(readBmp(asBytes(wrapped)).isNull());
    // Complete, but wider than any sprite sheet can be.
    EXPECT_TRUE(readBmp(asBytes(test::forgedBitmap(kLargestBmpSide + 1, 2, 1, 2))).isNull());

    const QImage largest = readBmp(asBytes(test::forgedBitmap(kLargestBmpSide, 3, 1, 3)));
    ASSERT_EQ(largest.size(), QSize(kLargestBmpSide, 3));
    EXPECT_EQ(largest.pixel(kLargestBmpSide - 1, 2), qRgb(0, 0, 0));
}

}  // namespace
}  // namespace lantrel
