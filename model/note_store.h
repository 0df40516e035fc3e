#pragma once

#include <array>
#include <memory>
#include <vector>

#include "note.h"

namespace lantrel {

// Columns are capped so that no edit, query or project file can make a lane's memory grow
// without bound: 2^20 columns are 24 MiB of notes per lane, and more than a week of music
// at the slowest tempo anyone uses.
inline constexpr int kMaxColumns = 1 << 20;

inline bool isValidColumn(long long column) {
    return column >= 0 && column < kMaxColumns;
}

// Notes by column and slot, kept in blocks of 960 columns so that placing and shifting
// cells never allocates per column. The block list grows to reach any written column, but a
// block is only allocated when a note is first written into it: a score placed far to the
// right costs one block, not every block before it. Reading an unallocated block yields an
// empty note without allocating, and writing an empty note there is a no-op.
class NoteStore {
  public:
    static constexpr int kBlockColumns = 960;
    static constexpr int kBlockNotes = kBlockColumns * kSlotsPerCell;
    using ColumnBlock = std::array<Note, kBlockNotes>;

    NoteStore() = default;
    NoteStore(const NoteStore& other);
    NoteStore& operator=(const NoteStore& other);
    NoteStore(NoteStore&&) noexcept = default;
    NoteStore& operator=(NoteStore&&) noexcept = default;

    Note note(int column, int slot) const;
    // Ignores (and answers false for) columns outside 0 .. kMaxColumns - 1 and slots
    // outside 0..2.
    bool setNote(int column, int slot, Note note);
    void clear() { blocks_.clear(); }
    // Length of the block list (allocated or not).
    int blockCount() const { return static_cast<int>(blocks_.size()); }
    int allocatedBlockCount() const;

  private:
    std::vector<std::unique_ptr<ColumnBlock>> blocks_;
};

}  // namespace lantrel
