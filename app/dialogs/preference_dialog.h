#pragma once

#include <QDialog>

#include <array>
#include <string>

#include "app/dialogs/dialog_hooks.h"
#include "app/window_language.h"
#include "model/note.h"

class QComboBox;
class QLineEdit;

namespace lantrel {

// "環境設定": the default WAV folder of each lane, which a new project starts with, and the
// window's language from the next start on. OK checks the upper, middle and lower folder in this
// order and stays open at the first that fails.
class CPreferenceDialog : public QDialog {
    Q_OBJECT

  public:
    using Folders = std::array<std::string, kLaneCount>;

    CPreferenceDialog(QWidget* parent, const Folders& folders, DialogHooks hooks = {});

    // After an accepted exec: the three folders as checked, without a trailing separator.
    const Folders& folders() const { return folders_; }

    // The language shown as chosen (Japanese unless set), and after an accepted exec the one
    // the user chose.
    void setLanguage(WindowLanguage language);
    WindowLanguage language() const;

    void accept() override;

  private:
    QWidget* makeLaneGroup(int lane);
    QWidget* makeFolderGroup();
    QWidget* makeLanguageGroup();

    DialogHooks hooks_;
    Folders folders_;
    std::array<QLineEdit*, kLaneCount> edits_{};
    QComboBox* language_ = nullptr;
};

}  // namespace lantrel
