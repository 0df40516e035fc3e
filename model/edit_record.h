#pragma once

#include <vector>

#include "note.h"

namespace lantrel {

class Lane;

// One change of one lane, with what is needed to take it back and do it again.
// Note sequences list column after column, slots 0, 1, 2 within a column.
struct EditRecord {
    enum class Kind { Overwrite = 1, Delete = 2, Insert = 3, Clear = 4 };

    Lane* lane = nullptr;  // not owned; lanes outlive the history that holds the record
    Kind kind = Kind::Overwrite;
    int column = 0;
    int count = 0;
    std::vector<Note> oldNotes;  // Overwrite, Delete, Clear
    std::vector<Note> newNotes;  // Overwrite, Insert
    int savedFirst = 0;
    int savedLast = 0;
};

}  // namespace lantrel
