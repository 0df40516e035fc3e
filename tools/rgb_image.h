#pragma once

#include <cstdint>
#include <vector>

namespace lantrel {

struct Rgb {
    std::uint8_t r = 255;
    std::uint8_t g = 255;
    std::uint8_t b = 255;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kBlack{0, 0, 0};

// A picture in memory, rows from top to bottom. Writes outside the picture are dropped, so
// drawing code can clip by simply drawing.
class RgbImage {
  public:
    RgbImage(int width, int height, Rgb background = kWhite);

    int width() const { return width_; }
    int height() const { return height_; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    Rgb at(int x, int y) const;
    void set(int x, int y, Rgb colour);
    void fill(int x, int y, int width, int height, Rgb colour);

    // Copies the area (sourceX, sourceY, width, height) of `source`, enlarged `scale` times,
    // to (x, y), skipping the pixels that `mask` marks transparent (exact white), the way the
    // score screen puts sprites on its lanes.
    struct Area {
        int x;
        int y;
        int width;
        int height;
    };
    void drawMasked(const RgbImage& source, const RgbImage& mask, Area area, int x, int y,
                    int scale);

  private:
    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};

}  // namespace lantrel
