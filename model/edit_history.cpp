#include "edit_history.h"

#include "lane.h"

namespace lantrel {

void EditHistory::push(EditRecord record) {
    records_.erase(records_.begin() + (current_ + 1), records_.end());
    records_.push_back(std::move(record));
    current_ = static_cast<int>(records_.size()) - 1;
}

bool EditHistory::undo(int& column) {
    if (!canUndo()) return false;
    const EditRecord& record = records_[static_cast<std::size_t>(current_--)];
    column = record.column;
    Lane& lane = *record.lane;
    switch (record.kind) {
        case EditRecord::Kind::Overwrite:
        case EditRecord::Kind::Clear:
            lane.putNotes(record.column, record.oldNotes);
            break;
        case EditRecord::Kind::Delete:
            lane.insertNotes(record.column, record.oldNotes);
            break;
        case EditRecord::Kind::Insert:
            lane.remove(record.column, record.count);
            break;
    }
    lane.setBounds(record.savedFirst, record.savedLast);
    return true;
}

bool EditHistory::redo() {
    if (!canRedo()) return false;
    const EditRecord& record = records_[static_cast<std::size_t>(++current_)];
    Lane& lane = *record.lane;
    switch (record.kind) {
        case EditRecord::Kind::Overwrite:
            lane.putNotes(record.column, record.newNotes);
            break;
        case EditRecord::Kind::Delete:
            lane.remove(record.column, record.count);
            break;
        case EditRecord::Kind::Insert:
            lane.insertNotes(record.column, record.newNotes);
            break;
        case EditRecord::Kind::Clear:
            lane.empty(record.column, record.count);
            break;
    }
    return true;
}

void EditHistory::clear() {
    records_.clear();
    current_ = -1;
}

}  // namespace lantrel
