#include "lane.h"

#include <algorithm>

#include "score.h"

namespace lantrel {

namespace {

// A column range column .. column + count - 1 that stays inside the column cap.
bool isValidRange(int column, int count) {
    return column >= 0 && count >= 0 && static_cast<long long>(column) + count <= kMaxColumns;
}

}  // namespace

void Lane::reset() {
    notes_.clear();
    firstUsedColumn_ = kEmptyFirst;
    lastUsedColumn_ = kEmptyLast;
}

void Lane::setBounds(int first, int last) {
    firstUsedColumn_ = first;
    lastUsedColumn_ = last;
}

void Lane::putNote(int column, int slot, Note note) {
    if (!notes_.setNote(column, slot, note) || note.isEmpty()) return;
    firstUsedColumn_ = std::min(firstUsedColumn_, column);
    lastUsedColumn_ = std::max(lastUsedColumn_, column);
}

void Lane::putNotes(int column, std::span<const Note> notes) {
    for (std::size_t k = 0; k < notes.size(); ++k)
        putNote(column + static_cast<int>(k / kSlotsPerCell), static_cast<int>(k % kSlotsPerCell),
                notes[k]);
}

std::vector<Note> Lane::copyOut(int column, int count) const {
    std::vector<Note> notes;
    notes.reserve(static_cast<std::size_t>(std::max(count, 0)) * kSlotsPerCell);
    for (int c = column; c < column + count; ++c)
        for (int slot = 0; slot < kSlotsPerCell; ++slot)
            notes.push_back(notes_.note(c, slot));
    return notes;
}

// The source cells column .. column + count - 1 keep their old notes; every caller
// overwrites them next.
void Lane::shiftRight(int column, int count) {
    if (lastUsedColumn_ < column) return;
    for (int c = lastUsedColumn_; c >= column; --c)
        for (int slot = 0; slot < kSlotsPerCell; ++slot)
            putNote(c + count, slot, notes_.note(c, slot));
}

void Lane::insertNotes(int column, std::span<const Note> notes) {
    shiftRight(column, static_cast<int>(notes.size() / kSlotsPerCell));
    putNotes(column, notes);
}

// Removing zero columns changes nothing: taken literally, the loop would empty every cell
// from `column` on, because each cell would be cleared right after being moved onto itself.
void Lane::remove(int column, int count) {
    if (lastUsedColumn_ < column || count <= 0) return;
    for (int c = column; c <= lastUsedColumn_; ++c) {
        for (int slot = 0; slot < kSlotsPerCell; ++slot) {
            putNote(c, slot, notes_.note(c + count, slot));
            putNote(c + count, slot, kEmptyNote);
        }
    }
    lastUsedColumn_ = std::max(lastUsedColumn_ - count, column - 1);
    recomputeLast();
    recomputeFirst();
}

void Lane::empty(int column, int count) {
    if (lastUsedColumn_ < column) return;
    const int last = column + count - 1;
    for (int c = column; c <= last; ++c)
        for (int slot = 0; slot < kSlotsPerCell; ++slot)
            putNote(c, slot, kEmptyNote);
    if (column <= lastUsedColumn_ && lastUsedColumn_ <= last) {
        lastUsedColumn_ = column - 1;
        recomputeLast();
    }
    if (column <= firstUsedColumn_ && firstUsedColumn_ <= last) {
        firstUsedColumn_ = column + count;
        recomputeFirst();
    }
}

void Lane::recomputeLast() {
    int c = lastUsedColumn_;
    while (c >= 0 && c >= firstUsedColumn_ && !isPresent(c))
        --c;
    lastUsedColumn_ = c < firstUsedColumn_ ? kEmptyLast : c;
}

void Lane::recomputeFirst() {
    int c = firstUsedColumn_;
    while (c <= lastUsedColumn_ && !isPresent(c))
        ++c;
    firstUsedColumn_ = c > lastUsedColumn_ ? kEmptyFirst : c;
}

EditRecord Lane::beginRecord(EditRecord::Kind kind, int column, int count) {
    EditRecord record;
    record.lane = this;
    record.kind = kind;
    record.column = column;
    record.count = count;
    record.savedFirst = firstUsedColumn_;
    record.savedLast = lastUsedColumn_;
    return record;
}

// Inserting shifts every cell up to lastUsedColumn right by count; the moved cells must stay
// inside the column cap too.
bool Lane::fitsAfterShift(int column, int count) const {
    return lastUsedColumn_ < column ||
           static_cast<long long>(lastUsedColumn_) + count < kMaxColumns;
}

std::optional<EditRecord> Lane::overwriteScore(const Score& score, int column) {
    if (score.end < 2) return std::nullopt;
    const int count = score.end - 1;
    if (!isValidRange(column, count)) return std::nullopt;
    EditRecord record = beginRecord(EditRecord::Kind::Overwrite, column, count);
    record.oldNotes = copyOut(column, count);
    record.newNotes.reserve(static_cast<std::size_t>(count) * kSlotsPerCell);
    for (int c = 0; c < count; ++c)
        for (int slot = 0; slot < kSlotsPerCell; ++slot)
            record.newNotes.push_back(score.note(c, slot));
    putNotes(column, record.newNotes);
    return record;
}

std::optional<EditRecord> Lane::insertCells(int column, int count) {
    if (!isValidRange(column, count) || !fitsAfterShift(column, count)) return std::nullopt;
    EditRecord record = beginRecord(EditRecord::Kind::Insert, column, count);
    record.newNotes.assign(static_cast<std::size_t>(count) * kSlotsPerCell, kEmptyNote);
    insertNotes(column, record.newNotes);
    return record;
}

std::optional<EditRecord> Lane::deleteCells(int column, int count) {
    if (!isValidRange(column, count)) return std::nullopt;
    EditRecord record = beginRecord(EditRecord::Kind::Delete, column, count);
    record.oldNotes = copyOut(column, count);
    remove(column, count);
    return record;
}

std::optional<EditRecord> Lane::clearCells(int column, int count) {
    if (!isValidRange(column, count)) return std::nullopt;
    EditRecord record = beginRecord(EditRecord::Kind::Clear, column, count);
    record.oldNotes = copyOut(column, count);
    empty(column, count);
    return record;
}

}  // namespace lantrel
