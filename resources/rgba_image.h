#pragma once

#include <cstdint>
#include <vector>

namespace lantrel {

// One pixel with its coverage: alpha 0 is transparent, 255 opaque. The four bytes lie in this
// order in memory, so a row of them is exactly what QImage::Format_RGBA8888 reads.
struct Rgba {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 0;
    friend constexpr bool operator==(const Rgba&, const Rgba&) = default;
};
static_assert(sizeof(Rgba) == 4, "rows of Rgba must be plain RGBA bytes");

inline constexpr Rgba kClear{0, 0, 0, 0};

// A picture with transparency, rows from top to bottom. Reads outside it are transparent, so
// callers can sample past the edge without checking.
class RgbaImage {
  public:
    RgbaImage() = default;
    RgbaImage(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    bool isNull() const { return pixels_.empty(); }
    Rgba at(int x, int y) const;
    void set(int x, int y, Rgba colour);
    const std::vector<Rgba>& pixels() const { return pixels_; }

    // Every pixel repeated `factor` times in both directions: pixel art stays crisp only when
    // enlarged by whole numbers.
    RgbaImage scaled(int factor) const;

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Rgba> pixels_;
};

}  // namespace lantrel
