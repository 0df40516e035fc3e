#pragma once

#include <QPoint>
#include <QRect>

#include <algorithm>
#include <optional>

namespace lantrel {

// Where everything of the arrangement view lies for a client area of width × height, y
// downwards: the screen picture on top, the strip of 92 rows (a 16-row header and three lanes
// of 25 rows) above the 16-row scroll bar at the bottom.
struct ViewGeometry {
    static constexpr int kColumnPitch = 9;
    static constexpr int kStripHeight = 92;
    static constexpr int kHeaderHeight = 16;
    static constexpr int kLanePitch = 25;
    static constexpr int kScrollBarHeight = 16;
    static constexpr int kBelowScreen = kStripHeight + kScrollBarHeight;

    int width = 0;
    int height = 0;

    // The strip's own top: rows stripOrigin() .. stripOrigin() + 92; negative in a very low
    // window, where the hit tests still use it.
    int stripOrigin() const { return height - kBelowScreen; }
    // Where the strip is drawn, and the height of the area above it for the screen.
    int stripTop() const { return std::max(0, stripOrigin()); }
    QRect stripRect() const { return {0, stripTop(), width, kStripHeight}; }
    QRect scrollBarRect() const { return {0, height - kScrollBarHeight, width, kScrollBarHeight}; }
    int visibleColumns() const { return width / kColumnPitch; }

    // The screen picture fitted into the area above the strip, never enlarged, centred;
    // empty when there is no room.
    QRect screenRect() const;
    // The picture's "CANCEL" box, scaled with it: its bottom right 128 × 32 of 512 × 384.
    QRect cancelBox() const;

    struct Cell {
        int column;
        int lane;
    };
    // The left button's rule: anywhere in the strip, the header counting as the upper lane.
    std::optional<Cell> hitLeft(QPoint point, int firstVisibleColumn) const;
    // The right button's rule: only on the lanes themselves.
    std::optional<Cell> hitRight(QPoint point, int firstVisibleColumn) const;
};

}  // namespace lantrel
