// Scores coming into the arrangement: chosen in the file dialog, pasted from the clipboard as
// text, or dropped on the window as files.
#include "vtq_gui_view.h"

#include <QClipboard>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>

#include "model/vtq_gui_doc.h"

namespace lantrel {

QStringList localFileNames(const QMimeData& data) {
    QStringList names;
    for (const QUrl& url : data.urls())
        if (url.isLocalFile()) names.push_back(url.toLocalFile());
    return names;
}

std::optional<std::string> CVtqGuiView::ScoreChooser::chooseScoreFile() {
    if (view_.services_.chooseScoreFile) return view_.services_.chooseScoreFile(&view_);
    const QString file = QFileDialog::getOpenFileName(
        &view_, QString(), QString(), CVtqGuiView::tr("Velto Sequencer Files(*.vtq)"));
    if (file.isEmpty()) return std::nullopt;
    return file.toStdString();
}

int CVtqGuiView::placeScoreFileAtCursor(std::optional<std::string> path, bool advance) {
    if (exporting_) return 0;
    const int placed = document_.PlaceScoreFile(cursorLane_, cursorColumn_, std::move(path));
    if (advance) {
        cursorColumn_ += placed;
        keepCursorVisible();
        updateScrollBar();
    }
    announceStateChange();
    return placed;
}

void CVtqGuiView::paste() {
    const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
    if (!clip || !clip->hasText()) return;
    std::string text = clip->text().toStdString();
    text = text.substr(0, text.find('\0'));
    text += "\r\n";
    cursorColumn_ += document_.PlaceScoreText(text, cursorLane_, cursorColumn_);
    keepCursorVisible();
    updateScrollBar();
}

void CVtqGuiView::openDroppedFiles(const QStringList& names) {
    if (exporting_ || !services_.openFile) return;
    std::vector<std::string> sorted;
    for (const QString& name : names)
        sorted.push_back(name.toStdString());
    std::ranges::sort(sorted);  // byte-wise, case significant
    for (const std::string& name : sorted)
        services_.openFile(QString::fromStdString(name));
}

void CVtqGuiView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CVtqGuiView::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    openDroppedFiles(localFileNames(*event->mimeData()));
}

}  // namespace lantrel
