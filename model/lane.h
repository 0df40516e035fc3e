#pragma once

#include <climits>
#include <optional>
#include <span>
#include <vector>

#include "edit_record.h"
#include "note_store.h"

namespace lantrel {

class Score;

// One lane of the arrangement: its notes and the bounds of its present cells.
// The bounds may be wider than the present cells (an overwrite never narrows them);
// deleting and clearing recompute them. The lane has no lock of its own: the project's
// lock guards every access.
class Lane {
  public:
    static constexpr int kEmptyFirst = INT_MAX;
    static constexpr int kEmptyLast = -1;

    int firstUsedColumn() const { return firstUsedColumn_; }
    int lastUsedColumn() const { return lastUsedColumn_; }
    int columnCount() const { return lastUsedColumn_ < 0 ? 0 : lastUsedColumn_ + 1; }
    Note note(int column, int slot) const { return notes_.note(column, slot); }
    bool isPresent(int column) const { return !notes_.note(column, 0).isEmpty(); }
    int blockCount() const { return notes_.blockCount(); }
    int allocatedBlockCount() const { return notes_.allocatedBlockCount(); }

    // The four edits. Each performs its change and returns the record of it, or nothing when
    // it is refused: a score shorter than one column, a negative column or count, or a change
    // that would reach past kMaxColumns.
    std::optional<EditRecord> overwriteScore(const Score& score, int column);
    std::optional<EditRecord> insertCells(int column, int count);
    std::optional<EditRecord> deleteCells(int column, int count);
    std::optional<EditRecord> clearCells(int column, int count);

    void reset();

    // Primitive changes, shared by the edits and by undo and redo.
    void putNote(int column, int slot, Note note);
    void putNotes(int column, std::span<const Note> notes);
    std::vector<Note> copyOut(int column, int count) const;
    void shiftRight(int column, int count);
    void insertNotes(int column, std::span<const Note> notes);
    void remove(int column, int count);
    void empty(int column, int count);
    void setBounds(int first, int last);

  private:
    EditRecord beginRecord(EditRecord::Kind kind, int column, int count);
    bool fitsAfterShift(int column, int count) const;
    void recomputeLast();
    void recomputeFirst();

    NoteStore notes_;
    int firstUsedColumn_ = kEmptyFirst;
    int lastUsedColumn_ = kEmptyLast;
};

}  // namespace lantrel
