#include "app_icon.h"

#include <cstddef>
#include <span>
#include <string_view>

#include "pixel_palette.h"

namespace lantrel {

namespace {

// The small drawing is not the large one shrunk: at 16 pixels the note must be thinner and
// the cells fewer, or it all runs together.
// clang-format off
constexpr std::array<std::string_view, 16> kSmallArt = {
    ".KKKKKKKKKKKKKK.",
    "KddddddddddddddK",
    "KdqqdqqdqqddyydK",
    "KdrrdrrdrrddyydK",
    "KdrrdrrdrrddydyK",
    "KdddddddddddydyK",
    "KdDDdhhdhhddydyK",
    "KdDDdeedeeddyddK",
    "KdDDdeedeeddyddK",
    "KdddddddddddyddK",
    "KdDDdccdddyyyddK",
    "KdDDdiiddyyyyddK",
    "KdDDdiiddyyYdddK",
    "KddddddddddddddK",
    "KKddddddddddddKK",
    ".KKKKKKKKKKKKKK."
};

constexpr std::array<std::string_view, 32> kLargeArt = {
    "................................",
    "....KKKKKKKKKKKKKKKKKKKKKKKK....",
    "..KKddddddddddddddddddddddddKK..",
    "..KdddddddddddddddddKKKKKddddK..",
    ".KdqqqdqqqdqqqdqqqdqKvyyKKdDDDK.",
    ".KdrrrdrrrdrrrdrrrdrKvyyyKKDDDK.",
    ".KdrrrdrrrdrrrdrrrdrKvyyyyKKDDK.",
    ".KdrrrdrrrdrrrdrrrdrKvyKyyyKKDK.",
    ".KdrrrdrrrdrrrdrrrdrKvyKKyyyKDK.",
    ".KdrrrdrrrdrrrdrrrdrKvyKKyyyKDK.",
    ".KddddddddddddddddddKvyKKKyyKdK.",
    ".KddddddddddddddddddKvyKKKyyKdK.",
    ".KddddddddddddddddddKvyKKKyyKdK.",
    ".KdDDDdhhhdhhhdhhhdhKvyKKyyKKDK.",
    ".KdDDDdeeedeeedeeedeKvyKKyKKDDK.",
    ".KdDDDdeeedeeedeeedeKvyKKKKDDDK.",
    ".KdDDDdeeedeeedeeedeKvyKeedDDDK.",
    ".KdDDDdeeedeeedeeedeKvyKeedDDDK.",
    ".KdDDDdeeedeeedeeedeKvyKeedDDDK.",
    ".KddddddddddddddddddKvyKddddddK.",
    ".KdddddddddddddKKKKKKyyKddddddK.",
    ".KddddddddddddKKvvyyyyyKddddddK.",
    ".KdDDDdDDDdcccKvvyyyyyyKccdcccK.",
    ".KdDDDdDDDdiiiKyyyyyyyyKiidiiiK.",
    ".KdDDDdDDDdiiiKyyyyyyyyKiidiiiK.",
    ".KdDDDdDDDdiiiKyyyyyyyyKiidiiiK.",
    ".KdDDDdDDDdiiiKKyyyyyyKKiidiiiK.",
    ".KdDDDdDDDdiiidKKKKKKKKiiidiiiK.",
    "..KddddddddddddddddddddddddddK..",
    "..KKddddddddddddddddddddddddKK..",
    "....KKKKKKKKKKKKKKKKKKKKKKKK....",
    "................................"
};
// clang-format on

static_assert(isWellFormedArt(kSmallArt, kSmallArt.size(), kSmallArt.size()),
              "the small icon is 16 x 16 known colours");
static_assert(isWellFormedArt(kLargeArt, kLargeArt.size(), kLargeArt.size()),
              "the large icon is 32 x 32 known colours");

RgbaImage imageOf(std::span<const std::string_view> art) {
    const int side = static_cast<int>(art.size());
    RgbaImage image(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            image.set(x, y,
                      artColour(art[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)])
                          .value_or(kClear));
    return image;
}

}  // namespace

RgbaImage appIcon(int size) {
    constexpr int large = static_cast<int>(kLargeArt.size());
    constexpr int small = static_cast<int>(kSmallArt.size());
    if (size > 0 && size % large == 0) return imageOf(kLargeArt).scaled(size / large);
    if (size > 0 && size % small == 0) return imageOf(kSmallArt).scaled(size / small);
    return {};
}

}  // namespace lantrel
