#include "pixel_art.h"
#include "sprite_art.h"

namespace lantrel {

// Facing right, the way the score runs under it. Red cap, blue shirt, navy shorts.
// clang-format off
constexpr std::array<std::string_view, 21> kRunnerStepArt = {
    "................",
    "......rrrrr.....",
    ".....rrrrrrr....",
    ".....rrrrrrrrr..",
    ".....KKpppp.....",
    ".....KppKpp.....",
    ".....KKppppp....",
    "......pppP......",
    ".......pp.......",
    "......uuuu......",
    ".....uuuuuuu....",
    "....uuuuuuuuu...",
    "...uu.uuuu..pp..",
    "..pp..uuuu..pp..",
    "......UUUUU.....",
    ".....UUUUUUU....",
    "....ppp...ppp...",
    "...pp.......pp..",
    "..pp.........pp.",
    ".KK..........KK.",
    "KK...........KKK",
};

constexpr std::array<std::string_view, 20> kRunnerLeapArt = {
    "......rrrrr.....",
    ".....rrrrrrr....",
    ".....rrrrrrrrr..",
    ".....KKpppp.....",
    ".....KppKpp.....",
    ".....KKppppp....",
    "......pppP......",
    ".......pp.......",
    "......uuuu......",
    ".....uuuuuuu....",
    "...uuuuuuuuu....",
    "..pp..uuuuuuu...",
    "..pp..uuuu.pp...",
    "......UUUUU.....",
    ".....UUUUUUpppp.",
    "..ppppp.....pp..",
    ".pp.........pp..",
    "KK..........KKK.",
    "................",
    "................",
};
// clang-format on

static_assert(isWellFormed(kRunnerStepArt, kRunnerWidth, 21));
static_assert(isWellFormed(kRunnerLeapArt, kRunnerWidth, 20));

}  // namespace lantrel
