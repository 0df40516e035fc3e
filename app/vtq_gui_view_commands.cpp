// The view's commands: which it handles, which may run now, and running them; the cell edits
// and the two settings dialogs that only change the project.
#include "vtq_gui_view.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>

#include "app/dialogs/cheat_dialog.h"
#include "app/dialogs/movie_setting_dialog.h"
#include "model/vtq_gui_doc.h"

namespace lantrel {

bool CVtqGuiView::handlesCommand(CommandId id) const {
    switch (id) {
        case kCommandNew:
        case kCommandOpen:
        case kCommandSave:
        case kCommandSaveAs:
        case kCommandRecentFiles:
        case kCommandPreferences:
        case kCommandExit:
        case kCommandAbout:
            return false;
        default:
            return true;
    }
}

bool CVtqGuiView::commandEnabled(CommandId id) const {
    const int length = arrangementLength();
    switch (id) {
        case kCommandMovieOutput:
        case kCommandMp4Output:
        case kCommandPlay:
        case kCommandAudioPlay:
            return !exporting_ && length > 0;
        case kCommandMovieSettings:
            return !exporting_;
        case kCommandPaste: {
            const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
            return !exporting_ && clip && clip->hasText();
        }
        case kCommandStop:
            return playback_.isPlaying();
        case kCommandFirstColumn:
            return cursorColumn_ > 0;
        case kCommandArrangementEnd:
            return cursorColumn_ != document_.columnCount(-1);
        case kCommandUndo:
            return document_.canUndo();
        case kCommandRedo:
            return document_.canRedo();
        default:
            return true;
    }
}

void CVtqGuiView::runCommand(CommandId id) {
    // Only moving to either end works while an export runs.
    if (exporting_ && id != kCommandFirstColumn && id != kCommandArrangementEnd) return;
    switch (id) {
        case kCommandCursorLeft:
            cursorLeft();
            break;
        case kCommandCursorRight:
            cursorRight();
            break;
        case kCommandCursorUp:
            cursorLane(-1);
            break;
        case kCommandCursorDown:
            cursorLane(+1);
            break;
        case kCommandLaneEnd:
            jumpTo(std::max(document_.columnCount(cursorLane_), 0));
            break;
        case kCommandLaneStart:
            jumpTo(document_.columnCount(cursorLane_) > 0 ? document_.firstColumn(cursorLane_) : 0);
            break;
        case kCommandFirstColumn:
            jumpTo(0);
            break;
        case kCommandArrangementEnd:
            jumpTo(arrangementLength());
            break;
        case kCommandInsertCell:
        case kCommandInsertHere:
        case kCommandDeleteCell:
        case kCommandDeleteHere:
        case kCommandDeleteToEnd:
        case kCommandDeleteRight:
        case kCommandClearLeft:
            editCells(id);
            break;
        case kCommandLoadFile:
            placeScoreFileAtCursor(std::nullopt, false);
            break;
        case kCommandPaste:
            paste();
            break;
        case kCommandUndo:
            document_.undo();
            break;
        case kCommandRedo:
            document_.redo();
            break;
        case kCommandPlay:
            play(false);
            break;
        case kCommandAudioPlay:
            play(true);
            break;
        case kCommandStop:
            stop();
            break;
        case kCommandMovieSettings:
            movieSettings();
            break;
        case kCommandExpert:
            expertSettings();
            break;
        case kCommandMovieOutput:
            movieOutput();
            break;
        case kCommandMp4Output:
            mp4Output();
            break;
        default:  // copy and cut are accepted and do nothing
            break;
    }
    announceStateChange();
}

void CVtqGuiView::editCells(CommandId id) {
    const int lane = cursorLane_;
    const int column = cursorColumn_;
    switch (id) {
        case kCommandInsertCell:
        case kCommandInsertHere:
            document_.InsertCells(lane, column, 1);
            break;
        case kCommandDeleteCell:
        case kCommandDeleteHere:
            document_.DeleteCells(lane, column, 1);
            break;
        case kCommandDeleteToEnd:
        case kCommandDeleteRight:
            if (const int length = document_.columnCount(lane); length - column > 0)
                document_.DeleteCells(lane, column, length - column);
            break;
        default:  // clear left: every cell before the cursor, nothing moves
            document_.ClearCells(lane, 0, column);
            break;
    }
}

void CVtqGuiView::movieSettings() {
    ProjectSettings copy = document_.settings();
    CMovieSettingDialog dialog(this, copy, QString(), folders_, services_.hooks);
    if (dialog.exec() != QDialog::Accepted) return;
    document_.setSettings(copy);
    poster_.post(kMessageRefresh, 0, 0);
}

void CVtqGuiView::expertSettings() {
    ProjectSettings copy = document_.settings();
    CCheatDialog dialog(this, copy);
    if (dialog.exec() != QDialog::Accepted) return;
    document_.setSettings(copy);
    poster_.post(kMessageRefresh, 0, 0);
}

}  // namespace lantrel
