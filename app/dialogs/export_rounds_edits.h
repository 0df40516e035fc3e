#pragma once

#include <QString>

#include <optional>

#include "app/dialogs/dialog_hooks.h"
#include "model/export_rounds.h"

class QWidget;

namespace lantrel {

class NumberEdit;

// The two fields that both export dialogs give the loop count and the fade-out: how many
// times the arrangement plays (object name "loops", 1 to 99) and over how many whole seconds
// its last round fades (object name "fade", 0 to 60). Each dialog lays them out its own way;
// they are read and range-checked alike, on OK, like the dialogs' other number fields.
struct ExportRoundsEdits {
    NumberEdit* loops = nullptr;
    NumberEdit* fade = nullptr;

    static QString loopsLabel();
    static QString fadeLabel();
};

// The edits showing the loop count and the fade of `rounds` (the fade to the whole second).
ExportRoundsEdits makeExportRoundsEdits(const ExportRounds& rounds);

// `rounds` with the loop count and the fade the edits hold, its columns as they were; nothing
// when an edit holds no number of its range, after the user was told so and that edit was
// selected (the loop count is checked first, as it comes first).
std::optional<ExportRounds> readExportRounds(const ExportRoundsEdits& edits, ExportRounds rounds,
                                             const DialogHooks& hooks, QWidget* dialog);

}  // namespace lantrel
