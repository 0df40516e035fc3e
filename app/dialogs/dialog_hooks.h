#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>
#include <string>

#include "audio/wave_folder_check.h"

class QHBoxLayout;
class QLineEdit;
class QWidget;

namespace lantrel {

// The title of every message box of the program.
inline constexpr char kMessageBoxTitle[] = "lANTREL SEQUENCER";

// What the settings dialogs ask of the user outside their own controls. The window passes
// default-constructed hooks and gets the real message box and folder chooser; tests pass
// recorders so that no modal box blocks them. Both are called on the user-interface thread,
// with the dialog as parent.
struct DialogHooks {
    // Tells the user something with the given icon (Warning for the exclamation mark,
    // Critical for the stop sign) and returns when the user has read it.
    std::function<void(QWidget* parent, QMessageBox::Icon icon, const QString& text)> message;
    // Lets the user pick an existing folder of the file system, starting at `start`; answers
    // its path, or an empty text when the user cancelled.
    std::function<QString(QWidget* parent, const QString& title, const QString& start)>
        chooseFolder;
};

// `hooks` with every empty member replaced by the real thing: a QMessageBox titled
// kMessageBoxTitle, and QFileDialog::getExistingDirectory showing folders only.
DialogHooks withDefaults(DialogHooks hooks);

// The message for a WAV folder that the check refused, in the window's language.
QString waveFolderProblemText(const WaveFolderCheck& check);

// The "選択" buttons: asks for a folder, titled "出力フォルダの選択", starting at the edit's text;
// a chosen folder replaces the text, a cancelled choice changes nothing.
void chooseFolderInto(const DialogHooks& hooks, QWidget* parent, QLineEdit* edit);

// A folder edit holding `folder` with its "選択" button beside it, which chooses into the edit
// as above. `hooks` must outlive the dialog (the dialog's own member).
struct FolderRow {
    QHBoxLayout* row;
    QLineEdit* edit;
};
FolderRow makeFolderRow(QWidget* dialog, const DialogHooks& hooks, const std::string& folder,
                        const QString& editName, const QString& buttonName);

// Tells the user why a field of `dialog` cannot be taken, then focuses the field and selects
// its text (a line edit's or a number edit's), so that typing replaces it; false.
bool refuseField(const DialogHooks& hooks, QWidget* dialog, QWidget* field, const QString& message);

// Whether the output folder and file name fields of an export dialog name where the files can
// go: a folder that exists, and a file name that cannot reach outside it (say "../x" from an
// edited project file). If not, the user is told why and that field is selected; false.
bool outputFieldsAcceptable(const DialogHooks& hooks, QWidget* dialog, QLineEdit* folder,
                            QLineEdit* fileName);

}  // namespace lantrel
