#pragma once

#include <cstdint>

namespace lantrel {

// One note slot of a cell. -1/-1 marks an empty slot (and, in slot 0, an absent cell);
// 0/0 fills the slots after the last note of a present cell.
struct Note {
    std::int32_t instrument = -1;  // 1..15
    std::int32_t pitch = -1;       // 1 (highest) .. 13 (lowest)

    bool isEmpty() const { return pitch == -1; }
    bool holdsNote() const { return pitch >= 1; }
    friend bool operator==(const Note&, const Note&) = default;
};

inline constexpr Note kEmptyNote{-1, -1};
inline constexpr Note kNoNote{0, 0};

inline constexpr int kSlotsPerCell = 3;
inline constexpr int kLaneCount = 3;

}  // namespace lantrel
