#pragma once

#include <QScrollBar>

namespace lantrel {

// The strip's horizontal scroll bar. Its value is the first visible column; the page is the
// number of visible columns. It never takes the keyboard focus: the arrow keys move the cursor.
class CMatrixScrollBar : public QScrollBar {
    Q_OBJECT

  public:
    static constexpr int kId = 100;

    explicit CMatrixScrollBar(QWidget* owner);

    // The page size (visible columns); repainted at once when `redraw` is set.
    void setPage(int columns, bool redraw);

  private:
    QWidget* owner_;
};

}  // namespace lantrel
