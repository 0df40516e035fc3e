#pragma once

#include <cstdint>
#include <vector>

namespace lantrel {

// A one-bit picture used as a mask: true = transparent (white), false = opaque (black).
// Reads and writes outside the picture are ignored and read as transparent.
class BitMask {
  public:
    BitMask() = default;
    BitMask(int width, int height, bool transparent = true)
        : width_(width),
          height_(height),
          bits_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                transparent ? 1 : 0) {}

    int width() const { return width_; }
    int height() const { return height_; }
    bool transparent(int x, int y) const { return !contains(x, y) || bits_[index(x, y)] != 0; }
    void set(int x, int y, bool transparent) {
        if (contains(x, y)) bits_[index(x, y)] = transparent ? 1 : 0;
    }

  private:
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> bits_;  // a byte a pixel: masks are small, lookups are hot
};

}  // namespace lantrel
