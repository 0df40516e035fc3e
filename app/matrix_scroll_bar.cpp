#include "matrix_scroll_bar.h"

namespace lantrel {

CMatrixScrollBar::CMatrixScrollBar(QWidget* owner)
    : QScrollBar(Qt::Horizontal, owner), owner_(owner) {
    setObjectName(QStringLiteral("scrollBar"));
    setFocusPolicy(Qt::NoFocus);
    setRange(0, 100);
    setPageStep(30);
    setSingleStep(1);
    setValue(0);
}

void CMatrixScrollBar::setPage(int columns, bool redraw) {
    setPageStep(std::max(columns, 1));
    if (redraw) repaint();
}

}  // namespace lantrel
