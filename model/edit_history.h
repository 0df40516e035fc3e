#pragma once

#include <vector>

#include "edit_record.h"

namespace lantrel {

// The undo and redo list of lane edits. Records after the current position are undone
// and can be redone; a new push drops them. There is no limit on the number of records.
class EditHistory {
  public:
    void push(EditRecord record);
    bool canUndo() const { return current_ >= 0; }
    bool canRedo() const { return current_ + 1 < static_cast<int>(records_.size()); }
    // Takes back the current record on its lane and restores the lane's bounds from before
    // the edit; reports the record's column.
    bool undo(int& column);
    // Performs the record after the current position again, without touching saved bounds.
    bool redo();
    void clear();
    int size() const { return static_cast<int>(records_.size()); }

  private:
    std::vector<EditRecord> records_;
    int current_ = -1;  // index of the most recent applied record; -1 = none applied
};

}  // namespace lantrel
