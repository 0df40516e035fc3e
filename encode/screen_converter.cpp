#include "screen_converter.h"

#include <cstdint>
#include <cstring>
#include <span>

namespace lantrel {

namespace {

// The BT.709 matrix in fixed point with 15 fraction bits, scaled to limited range. Every
// weight and every channel (or sum of four) fits in 16 bits, so that the compiler can use
// 16 x 16 -> 32-bit vector multiplies, which every x86-64 has.
constexpr int kShift = 15;
constexpr std::int16_t fixedPoint(double x) {
    return static_cast<std::int16_t>(x * (1 << kShift) + (x < 0 ? -0.5 : 0.5));
}
constexpr double kRedWeight = 0.2126;
constexpr double kBlueWeight = 0.0722;
constexpr double kLumaSpan = 219.0 / 255.0;
constexpr double kChromaSpan = 224.0 / 255.0;

constexpr std::int16_t kLumaRed = fixedPoint(kRedWeight * kLumaSpan);
constexpr std::int16_t kLumaBlue = fixedPoint(kBlueWeight * kLumaSpan);
// The three weights add up to the whole span, so that white comes out exactly 235.
constexpr std::int16_t kLumaGreen = fixedPoint(kLumaSpan) - kLumaRed - kLumaBlue;
constexpr std::int16_t kCbRed = fixedPoint(-kRedWeight / (2 * (1 - kBlueWeight)) * kChromaSpan);
constexpr std::int16_t kCbBlue = fixedPoint(0.5 * kChromaSpan);
// Each chroma row of the matrix adds up to zero, so that greys have no colour at all.
constexpr std::int16_t kCbGreen = -kCbRed - kCbBlue;
constexpr std::int16_t kCrRed = kCbBlue;
constexpr std::int16_t kCrBlue = fixedPoint(-kBlueWeight / (2 * (1 - kRedWeight)) * kChromaSpan);
constexpr std::int16_t kCrGreen = -kCrRed - kCrBlue;

constexpr std::uint8_t kBlackLuma = 16;
constexpr std::uint8_t kNoColour = 128;

std::int16_t red(std::uint32_t pixel) {
    return static_cast<std::int16_t>((pixel >> 16) & 0xFF);
}
std::int16_t green(std::uint32_t pixel) {
    return static_cast<std::int16_t>((pixel >> 8) & 0xFF);
}
std::int16_t blue(std::uint32_t pixel) {
    return static_cast<std::int16_t>(pixel & 0xFF);
}

// The weighted sum of three channel values (or sums of four), scaled down by `shift` bits
// with rounding, around `centre`.
std::uint8_t weighted(std::int16_t r, std::int16_t g, std::int16_t b, std::int16_t redWeight,
                      std::int16_t greenWeight, std::int16_t blueWeight, int centre, int shift) {
    const int sum = redWeight * r + greenWeight * g + blueWeight * b;
    return static_cast<std::uint8_t>((sum + (centre << shift) + (1 << (shift - 1))) >> shift);
}

std::uint8_t lumaOf(std::uint32_t pixel) {
    return weighted(red(pixel), green(pixel), blue(pixel), kLumaRed, kLumaGreen, kLumaBlue,
                    kBlackLuma, kShift);
}

// Each value `Factor` times over; a fixed factor lets the compiler unroll and vectorise it.
template <int Factor>
void enlargeBy(std::span<const std::uint8_t> values, std::uint8_t* out) {
    for (std::size_t x = 0; x < values.size(); ++x)
        for (int k = 0; k < Factor; ++k)
            out[x * Factor + k] = values[x];
}

void enlargeRow(std::span<const std::uint8_t> values, int factor, std::uint8_t* out) {
    switch (factor) {
        case 1:
            return enlargeBy<1>(values, out);
        case 2:
            return enlargeBy<2>(values, out);
        case 3:
            return enlargeBy<3>(values, out);
        case 4:
            return enlargeBy<4>(values, out);
        default:
            return enlargeBy<5>(values, out);
    }
}

// The canvas left and right of the picture, in one plane's row.
void paintBorders(std::uint8_t* row, int pictureX, int pictureWidth, int rowWidth,
                  std::uint8_t black) {
    std::memset(row, black, static_cast<std::size_t>(pictureX));
    const int right = pictureX + pictureWidth;
    std::memset(row + right, black, static_cast<std::size_t>(rowWidth - right));
}

}  // namespace

ScreenConverter::ScreenConverter(MovieGeometry geometry)
    : geometry_(geometry),
      sourceColumn_(static_cast<std::size_t>(geometry.pictureWidth())),
      previous_(static_cast<std::size_t>(ScreenPicture::kWidth * ScreenPicture::kHeight)),
      rowChanged_(ScreenPicture::kHeight, true) {
    for (std::size_t x = 0; x < sourceColumn_.size(); ++x)
        sourceColumn_[x] = static_cast<int>(x) / geometry_.scale;
}

void ScreenConverter::convert(const ScreenPicture& picture, const YuvPlanes& frame) {
    noteChangedRows(picture, frame);
    convertLuma(picture, frame);
    convertChroma(picture, frame);
}

void ScreenConverter::noteChangedRows(const ScreenPicture& picture, const YuvPlanes& frame) {
    const bool sameFrame =
        lastFrame_.data[0] && frame.data == lastFrame_.data && frame.stride == lastFrame_.stride;
    constexpr std::size_t kRowBytes = ScreenPicture::kWidth * sizeof(std::uint32_t);
    for (int y = 0; y < ScreenPicture::kHeight; ++y) {
        std::uint32_t* kept = previous_.data() + y * ScreenPicture::kWidth;
        const bool changed = !sameFrame || std::memcmp(kept, picture.row(y), kRowBytes) != 0;
        if (changed) std::memcpy(kept, picture.row(y), kRowBytes);
        rowChanged_[static_cast<std::size_t>(y)] = changed;
    }
    lastFrame_ = frame;
}

void ScreenConverter::convertLuma(const ScreenPicture& picture, const YuvPlanes& frame) {
    const int x = geometry_.pictureX;
    const auto width = static_cast<std::size_t>(geometry_.pictureWidth());
    for (int y = 0; y < geometry_.height; ++y) {
        if (!rowChanged_[static_cast<std::size_t>(y / geometry_.scale)]) continue;
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
    const bool even = geometry_.scale % 2 == 0;
    int previousUpper = -1;
    int previousLower = -1;
    for (int y = 0; y < geometry_.height / 2; ++y) {
        const int upper = 2 * y / geometry_.scale;
        const int lower = (2 * y + 1) / geometry_.scale;
        if (!rowChanged_[static_cast<std::size_t>(upper)] &&
            !rowChanged_[static_cast<std::size_t>(lower)])
            continue;
        std::uint8_t* cb = frame.data[1] + y * frame.stride[1];
        std::uint8_t* cr = frame.data[2] + y * frame.stride[2];
        paintBorders(cb, x, width, geometry_.width / 2, kNoColour);
        paintBorders(cr, x, width, geometry_.width / 2, kNoColour);
        if (upper == previousUpper && lower == previousLower) {
            std::memcpy(cb + x, cb - frame.stride[1] + x, static_cast<std::size_t>(width));
            std::memcpy(cr + x, cr - frame.stride[2] + x, static_cast<std::size_t>(width));
        } else if (even) {
            pixelChromaRow(picture.row(upper), cb + x, cr + x);
        } else {
            blockChromaRow(picture.row(upper), picture.row(lower), cb + x, cr + x);
        }
        previousUpper = upper;
        previousLower = lower;
    }
}

void ScreenConverter::lumaRow(const std::uint32_t* source, std::uint8_t* out) const {
    std::array<std::uint8_t, ScreenPicture::kWidth> luma;
    for (std::size_t x = 0; x < luma.size(); ++x)
        luma[x] = lumaOf(source[x]);
    enlargeRow(luma, geometry_.scale, out);
}

// With an even scale every 2 x 2 block lies inside one pixel: its chroma is the pixel's own,
// repeated scale / 2 times.
void ScreenConverter::pixelChromaRow(const std::uint32_t* source, std::uint8_t* cb,
                                     std::uint8_t* cr) const {
    std::array<std::uint8_t, ScreenPicture::kWidth> blueDifference;
    std::array<std::uint8_t, ScreenPicture::kWidth> redDifference;
    for (std::size_t x = 0; x < blueDifference.size(); ++x) {
        const std::int16_t r = red(source[x]), g = green(source[x]), b = blue(source[x]);
        blueDifference[x] = weighted(r, g, b, kCbRed, kCbGreen, kCbBlue, kNoColour, kShift);
        redDifference[x] = weighted(r, g, b, kCrRed, kCrGreen, kCrBlue, kNoColour, kShift);
    }
    enlargeRow(blueDifference, geometry_.scale / 2, cb);
    enlargeRow(redDifference, geometry_.scale / 2, cr);
}

void ScreenConverter::blockChromaRow(const std::uint32_t* upper, const std::uint32_t* lower,
                                     std::uint8_t* cb, std::uint8_t* cr) const {
    for (std::size_t x = 0; x < sourceColumn_.size() / 2; ++x) {
        const auto left = static_cast<std::size_t>(sourceColumn_[2 * x]);
        const auto right = static_cast<std::size_t>(sourceColumn_[2 * x + 1]);
        const std::uint32_t block[] = {upper[left], upper[right], lower[left], lower[right]};
        std::int16_t r = 0, g = 0, b = 0;  // at most 4 x 255
        for (const std::uint32_t pixel : block) {
            r = static_cast<std::int16_t>(r + red(pixel));
            g = static_cast<std::int16_t>(g + green(pixel));
            b = static_cast<std::int16_t>(b + blue(pixel));
        }
        // The sums of four carry two more bits, shifted away with the rest in one rounding.
        cb[x] = weighted(r, g, b, kCbRed, kCbGreen, kCbBlue, kNoColour, kShift + 2);
        cr[x] = weighted(r, g, b, kCrRed, kCrGreen, kCrBlue, kNoColour, kShift + 2);
    }
}

}  // namespace lantrel
