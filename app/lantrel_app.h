#pragma once

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "command_table.h"
#include "model/vtq_gui_doc.h"
#include "recovery_copy.h"
#include "user_settings.h"
#include "vtq_gui_view.h"

class QSettings;

namespace lantrel {

class CMainFrame;

// What the application asks of the user besides the view's own questions. Empty members get
// the real file dialogs and message boxes; tests put stand-ins here.
struct AppServices {
    QSettings* store = nullptr;  // the user's settings; required
    ViewServices view;
    // A project to open, or an empty text when cancelled.
    std::function<QString(QWidget* parent)> chooseProjectToOpen;
    // Where to save, suggesting `suggested`; an empty text when cancelled.
    std::function<QString(QWidget* parent, const QString& suggested)> chooseProjectToSave;
    // "変更あり。保存しとく？": Yes, No or Cancel.
    std::function<QMessageBox::StandardButton(QWidget* parent, const QString& question)> ask;
    // Runs a dialog of the application (preferences, about) modally.
    std::function<int(QDialog& dialog)> runDialog;
    // Where unsaved projects go on a shutdown; empty: the user's data folder.
    std::filesystem::path recoveryFolder;
};

// The application object: the user's settings, the one document, the main frame with its one
// view, reused for every new or opened project; the file commands; and the open-file rule by
// which every name handed to the program is opened (File > Open, recent files, the command
// line, a second start, dropped files).
class CLantrelApp : public QObject {
    Q_OBJECT

  public:
    explicit CLantrelApp(AppServices services);
    ~CLantrelApp() override;

    // Start-up after the resource check: loads the settings, makes the window and opens a new
    // project (no argument) or the one name given; false when that fails and the program
    // should end. The window is shown only on success.
    bool start(const QStringList& arguments);

    // The open-file rule: a score ("vtq", any case) is placed at the cursor once the view
    // exists, a project ("vtm") is opened after the save question, anything else with an
    // extension is refused with "それは読めない", a name without one opens nothing. True
    // when a project was opened.
    bool openFile(const QString& name);

    void runCommand(CommandId id);
    bool commandEnabled(CommandId id) const;

    // "変更あり。保存しとく？" for a modified project; false when the user cancelled (or the
    // save failed), and what was about to happen must not.
    bool saveModified();

    // For a shutdown that cannot ask: a modified project is written to a recovery copy, whose
    // path is returned; empty when nothing needed saving or the copy failed (`error` says why).
    std::filesystem::path writeRecoveryCopy(std::string& error) const;

    CVtqGuiDoc& document() { return document_; }
    CVtqGuiView* view() const { return view_; }
    CMainFrame* frame() const { return frame_.get(); }
    UserSettings& settings() { return settings_; }

  private:
    bool newProject();
    bool offerRecoveryCopy();
    bool openProject(const QString& path);
    bool save();
    bool saveAs();
    void openRecent(int index);
    void preferences();
    void about();
    void afterFileChange();
    void showMessage(QMessageBox::Icon icon, const QString& text);
    void showFileFailure(const DocumentFileResult& result, const QString& path, bool saving);

    AppServices services_;
    UserSettings settings_;
    RecoveryCopies recovery_;
    CVtqGuiDoc document_;
    CVtqGuiView* view_ = nullptr;  // owned by the frame
    std::unique_ptr<CMainFrame> frame_;
    bool viewReady_ = false;  // after the first new or opened project
};

}  // namespace lantrel
