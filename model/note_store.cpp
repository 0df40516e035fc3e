#include "note_store.h"

#include <algorithm>

namespace lantrel {

namespace {

std::unique_ptr<NoteStore::ColumnBlock> makeEmptyBlock() {
    auto block = std::make_unique<NoteStore::ColumnBlock>();
    block->fill(kEmptyNote);
    return block;
}

bool isValidSlot(int slot) {
    return slot >= 0 && slot < kSlotsPerCell;
}

}  // namespace

NoteStore::NoteStore(const NoteStore& other) {
    *this = other;
}

NoteStore& NoteStore::operator=(const NoteStore& other) {
    if (this == &other) return *this;
    blocks_.clear();
    blocks_.reserve(other.blocks_.size());
    for (const auto& block : other.blocks_)
        blocks_.push_back(block ? std::make_unique<ColumnBlock>(*block) : nullptr);
    return *this;
}

int NoteStore::allocatedBlockCount() const {
    return static_cast<int>(std::count_if(blocks_.begin(), blocks_.end(),
                                          [](const auto& block) { return block != nullptr; }));
}

Note NoteStore::note(int column, int slot) const {
    if (column < 0 || !isValidSlot(slot)) return kEmptyNote;
    const auto blockIndex = static_cast<std::size_t>(column / kBlockColumns);
    if (blockIndex >= blocks_.size() || !blocks_[blockIndex]) return kEmptyNote;
    return (*blocks_[blockIndex])[(column % kBlockColumns) * kSlotsPerCell + slot];
}

bool NoteStore::setNote(int column, int slot, Note note) {
    if (!isValidColumn(column) || !isValidSlot(slot)) return false;
    const auto blockIndex = static_cast<std::size_t>(column / kBlockColumns);
    if (blockIndex >= blocks_.size() || !blocks_[blockIndex]) {
        if (note == kEmptyNote) return true;
        if (blockIndex >= blocks_.size()) blocks_.resize(blockIndex + 1);
        blocks_[blockIndex] = makeEmptyBlock();
    }
    (*blocks_[blockIndex])[(column % kBlockColumns) * kSlotsPerCell + slot] = note;
    return true;
}

}  // namespace lantrel
