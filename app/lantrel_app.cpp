#include "lantrel_app.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>

#include "app/dialogs/about_dialog.h"
#include "app/dialogs/preference_dialog.h"
#include "file_failure_text.h"
#include "main_frame.h"

namespace lantrel {

namespace {

const char* const kProjectFilter =
    QT_TRANSLATE_NOOP("lantrel::CLantrelApp", "Lantrel Files (*.vtm)");

QMessageBox::StandardButton askWithBox(QWidget* parent, const QString& question) {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(kMessageBoxTitle), question,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    // The context spelled out: lupdate loses the class after a QMessageBox return type.
    box.button(QMessageBox::Yes)
        ->setText(QCoreApplication::translate("lantrel::CLantrelApp", "はい(&Y)"));
    box.button(QMessageBox::No)
        ->setText(QCoreApplication::translate("lantrel::CLantrelApp", "いいえ(&N)"));
    box.button(QMessageBox::Cancel)
        ->setText(QCoreApplication::translate("lantrel::CLantrelApp", "キャンセル"));
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

AppServices withDefaults(AppServices services) {
    if (!services.chooseProjectToOpen)
        services.chooseProjectToOpen = [](QWidget* parent) {
            return QFileDialog::getOpenFileName(
                parent, QString(), QString(),
                CLantrelApp::tr("%1;;All Files (*)").arg(CLantrelApp::tr(kProjectFilter)));
        };
    if (!services.chooseProjectToSave)
        services.chooseProjectToSave = [](QWidget* parent, const QString& suggested) {
            QFileDialog dialog(parent, QString(), suggested, CLantrelApp::tr(kProjectFilter));
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setDefaultSuffix(QStringLiteral("vtm"));
            return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
        };
    if (!services.ask) services.ask = askWithBox;
    if (!services.runDialog) services.runDialog = [](QDialog& dialog) { return dialog.exec(); };
    services.view.hooks = withDefaults(services.view.hooks);
    return services;
}

// The text after the last "." of the name, lower-cased; nothing when there is no "." or it
// ends the name.
std::optional<QString> extensionOf(const QString& name) {
    const auto dot = name.lastIndexOf('.');
    if (dot < 0 || dot + 1 == name.size()) return std::nullopt;
    return name.mid(dot + 1).toLower();
}

}  // namespace

CLantrelApp::CLantrelApp(AppServices services)
    : services_(withDefaults(std::move(services))),
      settings_(*services_.store),
      recovery_(services_.recoveryFolder),
      document_(&settings_) {}

CLantrelApp::~CLantrelApp() = default;

bool CLantrelApp::start(const QStringList& arguments) {
    settings_.load();
    ViewServices viewServices = services_.view;
    viewServices.openFile = [this](const QString& name) { openFile(name); };
    viewServices.userSettings = &settings_;
    view_ = new CVtqGuiView(document_, std::move(viewServices));
    frame_ = std::make_unique<CMainFrame>(
        view_, [this](CommandId id) { runCommand(id); },
        [this](CommandId id) { return commandEnabled(id); });
    frame_->onOpenRecent = [this](int index) { openRecent(index); };
    frame_->onCloseRequest = [this] { return view_->mayClose() && saveModified(); };
    frame_->onDrop = [this](const QStringList& names) { view_->openDroppedFiles(names); };
    view_->onCommandStateChanged = [this] { afterFileChange(); };
    frame_->setRecentFiles(settings_.recentFiles());
    frame_->applyInitialSize();

    const bool opened = offerRecoveryCopy() ||
                        (arguments.isEmpty() ? newProject() : openFile(arguments.front()));
    if (!opened) return false;
    frame_->show();
    return true;
}

// A copy left by a shutdown is offered once: opened, it is the user's unsaved project again
// (modified, belonging to no file, so that a save asks where); declined, it is deleted;
// cancelled, it waits for the next start.
bool CLantrelApp::offerRecoveryCopy() {
    const auto copy = recovery_.newest();
    if (!copy) return false;
    const QString path = QString::fromStdString(copy->string());
    const auto answer =
        services_.ask(frame_.get(), tr("前回の終了で保存されなかった変更を取っておきました。\n%1\n"
                                       "開きますか？（「いいえ」で控えを削除します）")
                                        .arg(path));
    std::error_code ignored;
    if (answer == QMessageBox::No) std::filesystem::remove(*copy, ignored);
    if (answer != QMessageBox::Yes) return false;
    const DocumentFileResult result = document_.open(*copy);
    if (!result.ok()) {
        showFileFailure(result, path, false);
        return false;
    }
    std::filesystem::remove(*copy, ignored);
    document_.detachFromFile();
    viewReady_ = true;
    view_->initialUpdate();
    afterFileChange();
    return true;
}

std::filesystem::path CLantrelApp::writeRecoveryCopy(std::string& error) const {
    if (!document_.isModified()) return {};
    const std::filesystem::path copy = recovery_.placeFor(document_.path());
    if (copy.empty()) {
        error = "there is no folder for a recovery copy (neither XDG_DATA_HOME nor HOME is usable)";
        return {};
    }
    const DocumentFileResult result = document_.saveCopy(copy);
    if (!result.ok()) {
        error = result.message;
        return {};
    }
    return copy;
}

// ---- the open-file rule ----

bool CLantrelApp::openFile(const QString& name) {
    const auto extension = extensionOf(name);
    if (!extension) return false;
    if (*extension == QStringLiteral("vtq") && viewReady_) {
        view_->placeScoreFileAtCursor(name.toStdString(), true);
        return false;
    }
    if (*extension != QStringLiteral("vtq") && *extension != QStringLiteral("vtm")) {
        showMessage(QMessageBox::Critical, tr("それは読めない"));
        return false;
    }
    if (!saveModified()) return false;
    return openProject(name);
}

bool CLantrelApp::openProject(const QString& path) {
    const DocumentFileResult result = document_.open(path.toStdString());
    if (!result.ok()) {
        showFileFailure(result, path, false);
        return false;
    }
    settings_.addRecentFile(QFileInfo(path).absoluteFilePath());
    viewReady_ = true;
    view_->initialUpdate();
    afterFileChange();
    return true;
}

bool CLantrelApp::newProject() {
    if (!document_.newDocument()) {
        showMessage(QMessageBox::Warning, tr("動画出力中は新規作成できません。"));
        return false;
    }
    viewReady_ = true;
    view_->initialUpdate();
    afterFileChange();
    return true;
}

// ---- commands ----

void CLantrelApp::runCommand(CommandId id) {
    switch (id) {
        case kCommandNew:
            if (saveModified()) newProject();
            break;
        case kCommandOpen:
            if (const QString file = services_.chooseProjectToOpen(frame_.get()); !file.isEmpty())
                openFile(file);
            break;
        case kCommandSave:
            save();
            break;
        case kCommandSaveAs:
            saveAs();
            break;
        case kCommandPreferences:
            preferences();
            break;
        case kCommandExit:
            frame_->close();
            break;
        case kCommandAbout:
            about();
            break;
        default:
            view_->runCommand(id);
            break;
    }
    frame_->refreshCommandStates();
}

bool CLantrelApp::commandEnabled(CommandId id) const {
    return view_->handlesCommand(id) ? view_->commandEnabled(id) : true;
}

// ---- saving ----

bool CLantrelApp::saveModified() {
    if (!document_.isModified()) return true;
    switch (services_.ask(frame_.get(), tr("変更あり。保存しとく？"))) {
        case QMessageBox::Yes:
            return save();
        case QMessageBox::No:
            return true;
        default:
            return false;
    }
}

bool CLantrelApp::save() {
    if (document_.path().empty()) return saveAs();
    const QString path = QString::fromStdString(document_.path().string());
    const DocumentFileResult result = document_.save(document_.path());
    if (!result.ok()) {
        showFileFailure(result, path, true);
        return false;
    }
    afterFileChange();
    return true;
}

bool CLantrelApp::saveAs() {
    const QString suggested = document_.path().empty()
                                  ? tr("無題.vtm")
                                  : QString::fromStdString(document_.path().string());
    const QString path = services_.chooseProjectToSave(frame_.get(), suggested);
    if (path.isEmpty()) return false;
    const DocumentFileResult result = document_.save(path.toStdString());
    if (!result.ok()) {
        showFileFailure(result, path, true);
        return false;
    }
    settings_.addRecentFile(QFileInfo(path).absoluteFilePath());
    afterFileChange();
    return true;
}

void CLantrelApp::openRecent(int index) {
    const QStringList& files = settings_.recentFiles();
    if (index < 0 || index >= files.size()) return;
    const QString path = files[index];
    if (!QFileInfo(path).isFile()) {
        showMessage(QMessageBox::Warning,
                    tr("%1 が見つからないので、最近使ったファイルから外します。").arg(path));
        settings_.removeRecentFile(path);
        afterFileChange();
        return;
    }
    openFile(path);
}

// ---- dialogs ----

void CLantrelApp::preferences() {
    CPreferenceDialog dialog(frame_.get(), settings_.waveFolders(), services_.view.hooks);
    dialog.setLanguage(settings_.language());
    if (services_.runDialog(dialog) != QDialog::Accepted) return;
    settings_.waveFolders() = dialog.folders();
    settings_.setLanguage(dialog.language());
    settings_.save();
}

void CLantrelApp::about() {
    CAboutDlg dialog(frame_.get());
    services_.runDialog(dialog);
}

// ---- the window's caption and messages ----

void CLantrelApp::afterFileChange() {
    if (!frame_) return;
    const auto& path = document_.path();
    frame_->setCaption(path.empty()
                           ? QString()
                           : QFileInfo(QString::fromStdString(path.string())).completeBaseName(),
                       document_.isModified());
    frame_->setRecentFiles(settings_.recentFiles());
    frame_->refreshCommandStates();
}

void CLantrelApp::showMessage(QMessageBox::Icon icon, const QString& text) {
    services_.view.hooks.message(frame_.get(), icon, text);
}

void CLantrelApp::showFileFailure(const DocumentFileResult& result, const QString& path,
                                  bool saving) {
    showMessage(QMessageBox::Warning, fileFailureText(result, path, saving));
}

}  // namespace lantrel
