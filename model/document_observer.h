#pragma once

#include <cstdint>

namespace lantrel {

// Told after every change of the document. A hint of 0 means "something changed"; a hint
// with the top bit set comes from undo and carries the column to show in its low bits.
class DocumentObserver {
  public:
    static constexpr std::uint32_t kUndoHintFlag = 0x80000000u;

    virtual ~DocumentObserver() = default;
    virtual void update(std::uint32_t hint) = 0;
};

}  // namespace lantrel
