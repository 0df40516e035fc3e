#pragma once

#include <QDialog>
#include <QString>

#include <filesystem>
#include <functional>
#include <optional>

class QLineEdit;

namespace lantrel {

// Asks the user where the sequencer's executable is, when neither a copy beside the program
// nor a running sequencer gave the resources. The "…" button opens a file chooser; OK answers
// whatever the edit box holds.
class CVtqExeFindDialog : public QDialog {
    Q_OBJECT

  public:
    // Lets the user pick an existing file; answers its full path, or an empty string when the
    // user cancels. Tests put a stand-in here for the system's file dialog.
    using FileChooser = std::function<QString(QWidget* parent)>;

    explicit CVtqExeFindDialog(QWidget* parent = nullptr, FileChooser chooser = {});

    QString path() const;

    // Runs the dialog: the path from its edit box after OK, nothing after cancel.
    static std::optional<std::filesystem::path> ask(QWidget* parent);

  private:
    void browse();

    QLineEdit* pathEdit_;
    FileChooser chooser_;
};

}  // namespace lantrel
