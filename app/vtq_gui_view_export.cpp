// The movie and MP4 exports from the view: their dialogs, starting a run, its progress on the
// preview, its end, and keeping the window open while it runs.
#include "vtq_gui_view.h"

#include "app/dialogs/movie_setting_dialog.h"
#include "app/dialogs/mp4_export_dialog.h"
#include "export_progress.h"
#include "model/vtq_gui_doc.h"
#include "user_settings.h"

namespace lantrel {

namespace {

const char* const kExportFailed = QT_TRANSLATE_NOOP(
    "lantrel::CVtqGuiView",
    "どうやら失敗した模様。ディスクがいっぱいとか？\nあとは開いてるファイルに書きにいったとか。");

}  // namespace

// The loop count and the fade-out are the user's, as the MP4 export's choices are, and the
// two exports share them; the rest goes into the project.
void CVtqGuiView::movieOutput() {
    stop();
    ProjectSettings copy = document_.settings();
    UserSettings* user = services_.userSettings;
    ExportRounds rounds = user ? user->exportRounds() : ExportRounds{};
    CMovieSettingDialog dialog(this, copy, QString::fromUtf8(CMovieSettingDialog::kExportModeText),
                               folders_, services_.hooks, &rounds);
    if (dialog.exec() != QDialog::Accepted) return;
    document_.setSettings(copy);
    if (user) user->saveExportRounds(rounds);
    if (!copy.videoOn && !copy.audioOn) return;
    startExport(copy, ExtraOutputs{.rounds = rounds});
}

// The MP4 goes where the movie output would put its files: the folder and the name are the
// project's, and changing them here changes them there. The other choices are the user's.
void CVtqGuiView::mp4Output() {
    stop();
    ProjectSettings copy = document_.settings();
    ExtraOutputs choices =
        services_.userSettings ? services_.userSettings->mp4Choices() : ExtraOutputs{.mp4 = true};
    Mp4ExportDialog dialog(this, copy, choices, services_.hooks);
    if (dialog.exec() != QDialog::Accepted) return;
    if (services_.userSettings) services_.userSettings->saveMp4Choices(choices);
    const ProjectSettings stored = document_.settings();
    if (copy.outputFolder != stored.outputFolder || copy.fileName != stored.fileName)
        document_.setSettings(copy);
    startExport(copy, choices);
}

void CVtqGuiView::startExport(const ProjectSettings& settings, const ExtraOutputs& extras) {
    exportSettings_ = settings;
    exportingMp4_ = extras.mp4;
    exportLoops_ = extras.rounds.loops;
    exporting_ = true;
    exportPosition_ = 0;
    if (!export_.start(settings, poster_, extras)) {
        exporting_ = false;
        showMessage(QMessageBox::Warning, tr(kExportFailed));
    }
}

void CVtqGuiView::exportProgress(const PostedEvent& message) {
    const auto wParam = static_cast<long long>(message.wParam());
    if (message.message() == kMessageVideoProgress) {
        exportPosition_ = static_cast<int>(wParam);
        exportPhase_ = 0;
    } else if (message.message() == kMessageJoinProgress) {
        exportPosition_ = static_cast<int>(wParam);
        exportPhase_ = 2;
    } else {
        exportPhase_ = 1;
        exportPosition_ =
            soundProgressHalfBeat(wParam, message.lParam(), outputSampleRate(exportSettings_),
                                  exportLoops_, arrangementLength());
    }
    if (!exporting_) return;
    renderExportScreen();
    showScreen();
}

void CVtqGuiView::exportEnded(int result) {
    // The box runs a nested event loop with the export state still set, so that further
    // messages find it unchanged until the user has read it.
    if (result != kExportSuccess && result != kExportCancelled) {
        QString text = tr(kExportFailed);
        if (!export_.error().empty()) text += "\n\n" + QString::fromStdString(export_.error());
        showMessage(QMessageBox::Warning, text);
    }
    exporting_ = false;
    renderScreen(2 * cursorColumn_);
    showScreen();
    export_.finish();
    announceStateChange();
}

bool CVtqGuiView::mayClose() {
    if (!exporting_) return true;
    showMessage(QMessageBox::Warning, tr("ちょwwwおまwww"));
    return false;
}

}  // namespace lantrel
