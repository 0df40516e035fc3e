// The cursor under the keys' commands and the mouse: moving it, clicking a cell, the right-click
// menu, and the click on the export's CANCEL box.
#include "vtq_gui_view.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>

#include <algorithm>

namespace lantrel {

void CVtqGuiView::cursorLeft() {
    if (cursorColumn_ <= 0) return;
    --cursorColumn_;
    if (cursorColumn_ < firstVisibleColumn_) {
        // Page back by whole pages until the cursor is in view.
        const int page = geometryNow().visibleColumns();
        int first = firstVisibleColumn_ - page;
        while (first > cursorColumn_)
            first -= page;
        firstVisibleColumn_ = std::max(first, 0);
        moveThumb();
    }
    paintStrip();
    renderScreen(2 * cursorColumn_);
    showScreen();
}

void CVtqGuiView::cursorRight() {
    ++cursorColumn_;
    if (cursorColumn_ >= firstVisibleColumn_ + geometryNow().visibleColumns()) {
        firstVisibleColumn_ = cursorColumn_;
        moveThumb();
    }
    paintStrip();
    renderScreen(2 * cursorColumn_);
    showScreen();
}

void CVtqGuiView::cursorLane(int step) {
    const int lane = cursorLane_ + step;
    if (lane < 0 || lane >= kLaneCount) return;
    cursorLane_ = lane;
    paintStrip();
}

void CVtqGuiView::jumpTo(int column) {
    cursorColumn_ = column;
    keepCursorVisible();
    poster_.post(kMessageRefresh, 0, 0);
}

void CVtqGuiView::placeCursor(const ViewGeometry::Cell& cell) {
    cursorColumn_ = cell.column;
    cursorLane_ = cell.lane;
    paintStrip();
    renderScreen(2 * cursorColumn_);
    showScreen();
    announceStateChange();
}

void CVtqGuiView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const ViewGeometry geometry = geometryNow();
    if (exporting_) {
        if (geometry.cancelBox().contains(event->position().toPoint())) export_.cancel();
        return;
    }
    if (const auto cell = geometry.hitLeft(event->position().toPoint(), firstVisibleColumn_))
        placeCursor(*cell);
}

void CVtqGuiView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || exporting_) return;
    const auto cell = geometryNow().hitLeft(event->position().toPoint(), firstVisibleColumn_);
    if (!cell) return;
    cursorColumn_ = cell->column;
    cursorLane_ = cell->lane;
    placeScoreFileAtCursor(std::nullopt, false);
}

void CVtqGuiView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton || exporting_) return;
    const auto cell = geometryNow().hitRight(event->position().toPoint(), firstVisibleColumn_);
    if (!cell) return;
    placeCursor(*cell);
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("contextMenu"));
    for (const CommandId id : contextMenuLayout()) {
        QAction* action = menu.addAction(commandInfo(id).menuText());
        action->setData(static_cast<int>(id));
        action->setEnabled(commandEnabled(id));
    }
    if (QAction* chosen = menu.exec(event->globalPosition().toPoint()))
        runCommand(static_cast<CommandId>(chosen->data().toInt()));
}

}  // namespace lantrel
