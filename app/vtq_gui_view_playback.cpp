// Live playback from the view: starting and stopping the player, the screen following its
// position, and telling the user when the sound output fails.
#include "vtq_gui_view.h"

#include <algorithm>

#include "model/vtq_gui_doc.h"

namespace lantrel {

namespace {

QString soundsMissingMessage(const PlayStart& start) {
    if (!start.sounds.problem.empty())
        return CVtqGuiView::tr("メモリが足りないので再生できません。\n") +
               QString::fromStdString(start.sounds.problem);
    static const char* const kLaneNames[] = {QT_TRANSLATE_NOOP("lantrel::CVtqGuiView", "上段"),
                                             QT_TRANSLATE_NOOP("lantrel::CVtqGuiView", "中段"),
                                             QT_TRANSLATE_NOOP("lantrel::CVtqGuiView", "下段")};
    const int lane = std::clamp(start.sounds.lane, 0, 2);
    return CVtqGuiView::tr(
               "%1のWAVが %2 個読み込めないので再生できません。\n"
               "WAVフォルダと内蔵WAV（rsrc）を確かめてください。")
        .arg(CVtqGuiView::tr(kLaneNames[lane]))
        .arg(start.sounds.missingSounds);
}

}  // namespace

void CVtqGuiView::play(bool audioOnly) {
    stop();
    audioOnly_ = false;
    const PlayStart start = playback_.play(document_, poster_, cursorColumn_);
    if (start.started()) outputWatch_.start();
    if (start.outcome == PlayStart::Outcome::SoundsIncomplete)
        showMessage(QMessageBox::Warning, soundsMissingMessage(start));
    else if (!start.started())
        showMessage(QMessageBox::Warning, tr("再生を始められませんでした。"));
    audioOnly_ = audioOnly;
}

void CVtqGuiView::stop() {
    outputWatch_.stop();
    playback_.stop();
    poster_.post(kMessageRefresh, 0, 0);
}

// The player ends by itself when the sound output cannot be opened (or runs out of memory);
// the user hears nothing, so the window says why.
void CVtqGuiView::watchOutput() {
    if (playback_.isPlaying()) return;
    outputWatch_.stop();
    announceStateChange();
    if (playback_.player().outputFailed())
        showMessage(QMessageBox::Warning,
                    tr("サウンドを出力できませんでした。\n") +
                        QString::fromStdString(playback_.player().outputError()));
}

void CVtqGuiView::playPosition(std::uintptr_t halfBeat) {
    if (exporting_ || audioOnly_) return;
    const long long last = 2LL * arrangementLength() - 1;
    exportPosition_ = static_cast<int>(std::min(static_cast<long long>(halfBeat), last));
    renderScreen(exportPosition_);
    showScreen();
}

}  // namespace lantrel
