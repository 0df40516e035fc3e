#include "screen_converter.h"

#include <cstring>

namespace lantrel {

namespace {

// The BT.709 matrix in 16-bit fixed point, scaled to limited range.
constexpr int kShift = 16;
constexpr int fixedPoint(double x) {
    return static_cast<int>(x * (1 << kShift) + (x < 0 ? -0.5 : 0.5));
}
constexpr double kRedWeight = 0.2126;
constexpr double kBlueWeight = 0.0722;
constexpr double kLumaSpan = 219.0 / 255.0;
constexpr double kChromaSpan = 224.0 / 255.0;

constexpr int kLumaRed = fixedPoint(kRedWeight * kLumaSpan);
constexpr int kLumaBlue = fixedPoint(kBlueWeight * kLumaSpan);
// The three weights add up to the whole span, so that white comes out exactly 235.
constexpr int kLumaGreen = fixedPoint(kLumaSpan) - kLumaRed - kLumaBlue;
constexpr int kCbRed = fixedPoint(-kRedWeight / (2 * (1 - kBlueWeight)) * kChromaSpan);
constexpr int kCbBlue = fixedPoint(0.5 * kChromaSpan);
// Each chroma row of the matrix adds up to zero, so that greys have no colour at all.
constexpr int kCbGreen = -kCbRed - kCbBlue;
constexpr int kCrRed = kCbBlue;
constexpr int kCrBlue = fixedPoint(-kBlueWeight / (2 * (1 - kRedWeight)) * kChromaSpan);
constexpr int kCrGreen = -kCrRed - kCrBlue;

constexpr std::uint8_t kBlackLuma = 16;
constexpr std::uint8_t kNoColour = 128;

int red(std::uint32_t pixel) {
    return static_cast<int>((pixel >> 16) & 0xFF);
}
int green(std::uint32_t pixel) {
    return static_cast<int>((pixel >> 8) & 0xFF);
}
int blue(std::uint32_t pixel) {
    return static_cast<int>(pixel & 0xFF);
}

std::uint8_t lumaOf(std::uint32_t pixel) {
    const int sum = kLumaRed * red(pixel) + kLumaGreen * green(pixel) + kLumaBlue * blue(pixel);
    return static_cast<std::uint8_t>((sum + (kBlackLuma << kShift) + (1 << (kShift - 1))) >>
                                     kShift);
}

// One chroma value from the channel sums of four pixels, rounded once.
std::uint8_t chromaOf(int redSum, int greenSum, int blueSum, int redWeight, int greenWeight,
                      int blueWeight) {
    constexpr int kShiftOfFour = kShift + 2;
    const int sum = redWeight * redSum + greenWeight * greenSum + blueWeight * blueSum;
    return static_cast<std::uint8_t>(
        (sum + (kNoColour << kShiftOfFour) + (1 << (kShiftOfFour - 1))) >> kShiftOfFour);
}

// The canvas left and right of the picture, in one plane's row.
void paintBorders(std::uint8_t* row, int pictureX, int pictureWidth, int rowWidth,
                  std::uint8_t black) {
    std::memset(row, black, static_cast<std::size_t>(pictureX));
    const int right = pictureX + pictureWidth;
    std::memset(row + right, black, static_cast<std::size_t>(rowWidth - right));
}

}  // namespace

MovieGeometry movieGeometry(int scale, bool pad16x9) {
    MovieGeometry geometry;
    geometry.scale = scale;
    geometry.width = ScreenPicture::kWidth * scale;
    geometry.height = ScreenPicture::kHeight * scale;
    if (pad16x9) {
        const int canvasWidth = 2 * ((16 * geometry.height + 9) / 18);  // 2 round(8 h / 9)
        // An even edge keeps every 2 x 2 chroma block inside one enlarged pixel.
        geometry.pictureX = ((canvasWidth - geometry.width) / 2) & ~1;
        geometry.width = canvasWidth;
    }
    return geometry;
}

ScreenConverter::ScreenConverter(MovieGeometry geometry)
    : geometry_(geometry), sourceColumn_(static_cast<std::size_t>(geometry.pictureWidth())) {
    for (std::size_t x = 0; x < sourceColumn_.size(); ++x)
        sourceColumn_[x] = static_cast<int>(x) / geometry_.scale;
}

void ScreenConverter::convert(const ScreenPicture& picture, const YuvPlanes& frame) {
    convertLuma(picture, frame);
    convertChroma(picture, frame);
}

void ScreenConverter::convertLuma(const ScreenPicture& picture, const YuvPlanes& frame) {
    const int x = geometry_.pictureX;
    const auto width = static_cast<std::size_t>(geometry_.pictureWidth());
    for (int y = 0; y < geometry_.height; ++y) {
        std::uint8_t* row = frame.data[0] + y * frame.stride[0];
        paintBorders(row, x, geometry_.pictureWidth(), geometry_.width, kBlackLuma);
        if (y % geometry_.scale == 0)
            lumaRow(picture.row(y / geometry_.scale), row + x);
        else
            std::memcpy(row + x, row - frame.stride[0] + x, width);
    }
}

void ScreenConverter::convertChroma(const ScreenPicture& picture, const YuvPlanes& frame) {
    const int x = geometry_.pictureX / 2;
    const int width = geometry_.pictureWidth() / 2;
    int previousUpper = -1;
    int previousLower = -1;
    for (int y = 0; y < geometry_.height / 2; ++y) {
        std::uint8_t* cb = frame.data[1] + y * frame.stride[1];
        std::uint8_t* cr = frame.data[2] + y * frame.stride[2];
        paintBorders(cb, x, width, geometry_.width / 2, kNoColour);
        paintBorders(cr, x, width, geometry_.width / 2, kNoColour);
        const int upper = 2 * y / geometry_.scale;
        const int lower = (2 * y + 1) / geometry_.scale;
        if (upper == previousUpper && lower == previousLower) {
            std::memcpy(cb + x, cb - frame.stride[1] + x, static_cast<std::size_t>(width));
            std::memcpy(cr + x, cr - frame.stride[2] + x, static_cast<std::size_t>(width));
        } else {
            chromaRow(picture.row(upper), picture.row(lower), cb + x, cr + x);
        }
        previousUpper = upper;
        previousLower = lower;
    }
}

void ScreenConverter::lumaRow(const std::uint32_t* source, std::uint8_t* out) const {
    std::array<std::uint8_t, ScreenPicture::kWidth> luma;
    for (std::size_t x = 0; x < luma.size(); ++x)
        luma[x] = lumaOf(source[x]);
    for (std::size_t x = 0; x < sourceColumn_.size(); ++x)
        out[x] = luma[static_cast<std::size_t>(sourceColumn_[x])];
}

void ScreenConverter::chromaRow(const std::uint32_t* upper, const std::uint32_t* lower,
                                std::uint8_t* cb, std::uint8_t* cr) const {
    for (std::size_t x = 0; x < sourceColumn_.size() / 2; ++x) {
        const auto left = static_cast<std::size_t>(sourceColumn_[2 * x]);
        const auto right = static_cast<std::size_t>(sourceColumn_[2 * x + 1]);
        const std::uint32_t block[] = {upper[left], upper[right], lower[left], lower[right]};
        int redSum = 0, greenSum = 0, blueSum = 0;
        for (const std::uint32_t pixel : block) {
            redSum += red(pixel);
            greenSum += green(pixel);
            blueSum += blue(pixel);
        }
        cb[x] = chromaOf(redSum, greenSum, blueSum, kCbRed, kCbGreen, kCbBlue);
        cr[x] = chromaOf(redSum, greenSum, blueSum, kCrRed, kCrGreen, kCrBlue);
    }
}

}  // namespace lantrel
