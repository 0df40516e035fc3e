#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/dialogs/dialog_hooks.h"
#include "app/dialogs/number_edit.h"
#include "model/export_rounds.h"
#include "support/temp_dir.h"

namespace lantrel::test {

// Stands in for the message box and the folder chooser, and remembers what was asked.
struct DialogRecorder {
    struct Message {
        QMessageBox::Icon icon;
        std::string text;
    };
    struct FolderRequest {
        std::string title;
        std::string start;
    };

    std::vector<Message> messages;
    std::vector<FolderRequest> folderRequests;
    QString folderAnswer;  // empty: the user cancels the chooser

    DialogHooks hooks() {
        return {[this](QWidget*, QMessageBox::Icon icon, const QString& text) {
                    messages.push_back({icon, text.toStdString()});
                },
                [this](QWidget*, const QString& title, const QString& start) {
                    folderRequests.push_back({title.toStdString(), start.toStdString()});
                    return folderAnswer;
                }};
    }

    // The one warning shown since the last call.
    std::string takeWarning() {
        EXPECT_EQ(messages.size(), 1u);
        if (messages.empty()) return {};
        EXPECT_EQ(messages.front().icon, QMessageBox::Warning);
        std::string text = messages.front().text;
        messages.clear();
        return text;
    }
};

template <typename Widget>
Widget* child(const QWidget& parent, const QString& name) {
    auto* widget = parent.findChild<Widget*>(name);
    EXPECT_NE(widget, nullptr) << name.toStdString();
    return widget;
}

// Presses the dialog's OK; answers whether the dialog closed, and takes the warning it showed
// if not.
template <typename Dialog>
bool pressOk(Dialog& dialog, DialogRecorder& recorder, std::string* warning = nullptr) {
    child<QPushButton>(dialog, "ok")->click();
    if (dialog.result() == QDialog::Accepted) return true;
    if (warning) *warning = recorder.takeWarning();
    return false;
}

// Calls `open`, which runs a modal dialog, and `use` on that dialog once its event loop runs;
// `use` must close it. Answers whether such a dialog opened.
template <typename Dialog>
bool driveModal(const std::function<void()>& open, const std::function<void(Dialog&)>& use) {
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            opened = true;
            use(*dialog);
        }
    });
    open();
    QApplication::processEvents();  // when no dialog opened, the timer fires here, harmlessly
    return opened;
}

inline ExportRounds exportRounds(int loops, double fadeSeconds, int fromColumn = 0,
                                 std::optional<int> toColumn = std::nullopt) {
    return {loops, fadeSeconds, fromColumn, toColumn};
}

// The times played and the fade-out that an export dialog shows, as "loops/fade".
inline QString roundsShown(const QWidget& dialog) {
    return child<NumberEdit>(dialog, "loops")->text() + "/" +
           child<NumberEdit>(dialog, "fade")->text();
}

// A WAV folder as the dialogs look for it: only the two probed files, with no real sound.
inline std::string soundFolder(const TempDir& dir, bool withSound1 = true,
                               bool withSound27 = true) {
    if (withSound1) dir.write("sound1.wav", "RIFF");
    if (withSound27) dir.write("sound27.wav", "RIFF");
    return dir.path().string();
}

}  // namespace lantrel::test
