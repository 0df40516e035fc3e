#pragma once

#include <array>
#include <string_view>

namespace lantrel {

inline constexpr int kIconSize = 16;
inline constexpr int kIconCellCount = 16;
inline constexpr int kRunnerWidth = 16;

using IconArt = std::array<std::string_view, kIconSize>;

// Cell k shows instrument k + 1; the sixteenth cell is never drawn and stays blank.
extern const std::array<IconArt, kIconCellCount> kIconArt;

// The running figure: the first cell with both feet on the ground, the second in the air
// between steps with its head a pixel higher, so that alternating them makes it bob.
extern const std::array<std::string_view, 21> kRunnerStepArt;
extern const std::array<std::string_view, 20> kRunnerLeapArt;

}  // namespace lantrel
