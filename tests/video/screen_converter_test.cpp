#include "encode/screen_converter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "encoded_media.h"

namespace lantrel {
namespace {

using test::kScreenHeight;
using test::kScreenWidth;
using test::rgb;
using test::TestScreen;

// A 4:2:0 frame in memory, with rows longer than the picture as libav's often are.
class YuvFrame {
  public:
    explicit YuvFrame(const MovieGeometry& geometry, int padding = 0)
        : width_(geometry.width), height_(geometry.height) {
        const std::array<int, 3> widths = {width_, width_ / 2, width_ / 2};
        for (std::size_t plane = 0; plane < 3; ++plane) {
            strides_[plane] = widths[plane] + padding;
            const int rows = plane == 0 ? height_ : height_ / 2;
            planes_[plane].assign(static_cast<std::size_t>(strides_[plane] * rows), 0xEE);
        }
    }
    YuvPlanes planes() {
        YuvPlanes planes;
        for (std::size_t plane = 0; plane < 3; ++plane) {
            planes.data[plane] = planes_[plane].data();
            planes.stride[plane] = strides_[plane];
        }
        return planes;
    }
    int luma(int x, int y) const { return sample(0, x, y); }
    int cb(int x, int y) const { return sample(1, x, y); }
    int cr(int x, int y) const { return sample(2, x, y); }
    int width() const { return width_; }
    int height() const { return height_; }
    bool operator==(const YuvFrame& other) const { return planes_ == other.planes_; }

  private:
    int sample(std::size_t plane, int x, int y) const {
        return planes_[plane][static_cast<std::size_t>(y * strides_[plane] + x)];
    }
    int width_;
    int height_;
    std::array<std::vector<std::uint8_t>, 3> planes_;
    std::array<int, 3> strides_{};
};

YuvFrame convert(const TestScreen& screen, int scale, bool pad16x9 = false) {
    ScreenConverter converter(movieGeometry(scale, pad16x9));
    YuvFrame frame(converter.geometry());
    converter.convert(screen.view(), frame.planes());
    return frame;
}

// The 4:2:0 sample values of one flat colour.
std::array<int, 3> flatSamples(std::uint32_t colour) {
    TestScreen screen;
    screen.fill(colour);
    const YuvFrame frame = convert(screen, 2);
    return {frame.luma(100, 100), frame.cb(50, 50), frame.cr(50, 50)};
}

TEST(MovieGeometryTest, ScalesTheScreenAndPadsItTo16By9WithEvenSizes) {
    for (int scale = 1; scale <= 5; ++scale) {
        const MovieGeometry plain = movieGeometry(scale, false);
        EXPECT_EQ(plain.width, 512 * scale);
        EXPECT_EQ(plain.height, 384 * scale);
        EXPECT_EQ(plain.pictureX, 0);

        const MovieGeometry padded = movieGeometry(scale, true);
        EXPECT_EQ(padded.height, 384 * scale);
        EXPECT_EQ(padded.width % 2, 0);
        EXPECT_LE(std::abs(padded.width * 9 - padded.height * 16), 9) << "scale " << scale;
        EXPECT_EQ(padded.pictureX % 16, 0) << "on a macroblock's edge";
        EXPECT_LE(std::abs(2 * padded.pictureX + plain.width - padded.width), 16);
    }
    EXPECT_EQ(movieGeometry(2, true).width, 1366);
    EXPECT_EQ(movieGeometry(2, true).pictureX, 176);
    EXPECT_EQ(movieGeometry(1, true).width, 682);
    EXPECT_EQ(movieGeometry(3, true).width, 2048);
}

TEST(ScreenConverterTest, MapsBlackWhiteAndGreysToLimitedRangeWithoutColour) {
    EXPECT_EQ(flatSamples(rgb(0, 0, 0)), (std::array<int, 3>{16, 128, 128}));
    EXPECT_EQ(flatSamples(rgb(255, 255, 255)), (std::array<int, 3>{235, 128, 128}));
    for (int grey = 0; grey < 256; grey += 15) {
        const auto samples = flatSamples(rgb(grey, grey, grey));
        EXPECT_EQ(samples[0], std::lround(16 + 219.0 * grey / 255)) << grey;
        EXPECT_EQ(samples[1], 128) << grey;
        EXPECT_EQ(samples[2], 128) << grey;
    }
}

// The BT.601 matrix that players assume for untagged small pictures gives red as luma 81,
// Cb 90; BT.709 gives 63, 102.
TEST(ScreenConverterTest, UsesTheBt709MatrixForEveryColour) {
    EXPECT_EQ(flatSamples(rgb(255, 0, 0)), (std::array<int, 3>{63, 102, 240}));
    EXPECT_EQ(flatSamples(rgb(0, 255, 0)), (std::array<int, 3>{173, 42, 26}));
    EXPECT_EQ(flatSamples(rgb(0, 0, 255)), (std::array<int, 3>{32, 240, 118}));

    TestScreen screen;
    screen.drawNoise(7);
    const YuvFrame frame = convert(screen, 2);
    double worst = 0;
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x) {
            const std::uint32_t pixel = screen.at(x, y);
            const double r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
            const double errors[] = {frame.luma(2 * x + 1, 2 * y + 1) - test::referenceLuma(pixel),
                                     frame.cb(x, y) - test::referenceCb(r, g, b),
                                     frame.cr(x, y) - test::referenceCr(r, g, b)};
            for (const double error : errors)
                worst = std::max(worst, std::abs(error));
        }
    EXPECT_LE(worst, 0.51);  // rounded to the nearest level
}

TEST(ScreenConverterTest, EnlargesEachPixelToASquareBlockAtEveryScale) {
    TestScreen screen;
    screen.drawNoise(11);
    const YuvFrame one = convert(screen, 1);
    for (int scale = 2; scale <= 5; ++scale) {
        const YuvFrame frame = convert(screen, scale);
        ASSERT_EQ(frame.width(), kScreenWidth * scale);
        int mismatches = 0;
        for (int y = 0; y < frame.height(); ++y)
            for (int x = 0; x < frame.width(); ++x)
                mismatches += frame.luma(x, y) != one.luma(x / scale, y / scale);
        EXPECT_EQ(mismatches, 0) << "scale " << scale;
    }
}

// With an even scale each chroma sample lies inside one screen pixel and takes its colour;
// with an odd one it is the mean of the pixels its 2 x 2 block touches.
TEST(ScreenConverterTest, TakesEachChromaSampleFromThePixelsItCovers) {
    TestScreen screen;
    screen.drawNoise(5);
    for (const int scale : {2, 3, 4}) {
        const YuvFrame frame = convert(screen, scale);
        double worst = 0;
        for (int y = 0; y < frame.height() / 2; ++y)
            for (int x = 0; x < frame.width() / 2; ++x) {
                double r = 0, g = 0, b = 0;
                for (const int dy : {0, 1})
                    for (const int dx : {0, 1}) {
                        const std::uint32_t pixel =
                            screen.at((2 * x + dx) / scale, (2 * y + dy) / scale);
                        r += ((pixel >> 16) & 0xFF) / 4.0;
                        g += ((pixel >> 8) & 0xFF) / 4.0;
                        b += (pixel & 0xFF) / 4.0;
                    }
                worst = std::max({worst, std::abs(frame.cb(x, y) - test::referenceCb(r, g, b)),
                                  std::abs(frame.cr(x, y) - test::referenceCr(r, g, b))});
            }
        EXPECT_LE(worst, 0.51) << "scale " << scale;
    }
}

TEST(ScreenConverterTest, CentresThePictureOnABlackCanvas) {
    TestScreen screen;
    screen.fill(rgb(255, 255, 255));
    const MovieGeometry geometry = movieGeometry(2, true);
    ScreenConverter converter(geometry);
    YuvFrame frame(geometry, 32);
    converter.convert(screen.view(), frame.planes());
    const int right = geometry.pictureX + geometry.pictureWidth();
    for (int y = 0; y < frame.height(); y += 7) {
        EXPECT_EQ(frame.luma(0, y), 16);
        EXPECT_EQ(frame.luma(geometry.pictureX - 1, y), 16);
        EXPECT_EQ(frame.luma(geometry.pictureX, y), 235);
        EXPECT_EQ(frame.luma(right - 1, y), 235);
        EXPECT_EQ(frame.luma(right, y), 16);
        EXPECT_EQ(frame.luma(frame.width() - 1, y), 16);
        for (const int x : {0, geometry.pictureX / 2 - 1, right / 2, frame.width() / 2 - 1}) {
            EXPECT_EQ(frame.cb(x, y / 2), 128);
            EXPECT_EQ(frame.cr(x, y / 2), 128);
        }
    }
}

// The second picture changes a few rows, a block in the middle and the last row; the
// converter rewrites only those when it converts into the same frame again.
TEST(ScreenConverterTest, ConvertingIntoTheSameFrameAgainGivesWhatAFreshOneWould) {
    for (const auto& [scale, pad16x9] :
         {std::pair{1, false}, std::pair{2, false}, std::pair{3, false}, std::pair{2, true}}) {
        TestScreen first, second;
        first.draw(0);
        second.draw(0);
        for (int y = 100; y < 140; ++y)
            for (int x = 200; x < 260; ++x)
                second.set(x, y, rgb(0, 0, 255));
        for (int x = 0; x < kScreenWidth; ++x)
            second.set(x, kScreenHeight - 1, rgb(255, 0, 0));

        ScreenConverter converter(movieGeometry(scale, pad16x9));
        YuvFrame reused(converter.geometry());
        converter.convert(first.view(), reused.planes());
        converter.convert(second.view(), reused.planes());
        converter.convert(second.view(), reused.planes());
        YuvFrame other(converter.geometry());  // another frame is converted whole
        converter.convert(second.view(), other.planes());
        const YuvFrame fresh = convert(second, scale, pad16x9);
        EXPECT_TRUE(reused == fresh) << "scale " << scale;
        EXPECT_TRUE(other == fresh) << "scale " << scale;
    }
}

TEST(ScreenConverterTest, ReadsPicturesWithLongerRows) {
    TestScreen screen;
    screen.drawNoise(3);
    const int stride = kScreenWidth + 16;
    std::vector<std::uint32_t> padded(static_cast<std::size_t>(stride * kScreenHeight), 0);
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x)
            padded[static_cast<std::size_t>(y * stride + x)] = screen.at(x, y);
    const ScreenPicture picture{reinterpret_cast<const std::byte*>(padded.data()), stride * 4};

    ScreenConverter converter(movieGeometry(1, false));
    YuvFrame frame(converter.geometry(), 8);
    converter.convert(picture, frame.planes());
    const YuvFrame expected = convert(screen, 1);
    for (int y = 0; y < kScreenHeight; y += 5)
        for (int x = 0; x < kScreenWidth; x += 3)
            ASSERT_EQ(frame.luma(x, y), expected.luma(x, y)) << x << "," << y;
}

}  // namespace
}  // namespace lantrel
