#include "view_geometry.h"

#include "base/screen_size.h"

namespace lantrel {

QRect ViewGeometry::screenRect() const {
    const int area = stripTop();
    if (width <= 0 || area <= 0) return {};
    QSize size(kScreenWidth, kScreenHeight);
    if (width < kScreenWidth || area < kScreenHeight) {
        const int fittedHeight = width * kScreenHeight / kScreenWidth;
        size = area < fittedHeight ? QSize(area * kScreenWidth / kScreenHeight, area)
                                   : QSize(width, fittedHeight);
    }
    return {(width - size.width()) / 2, (area - size.height()) / 2, size.width(), size.height()};
}

QRect ViewGeometry::cancelBox() const {
    const QRect screen = screenRect();
    const int right = screen.x() + screen.width();
    const int bottom = screen.y() + screen.height();
    const int left = static_cast<int>(right - screen.width() * 128.0 / kScreenWidth);
    const int top = static_cast<int>(bottom - screen.height() * 32.0 / kScreenHeight);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

std::optional<ViewGeometry::Cell> ViewGeometry::hitLeft(QPoint point,
                                                        int firstVisibleColumn) const {
    const int origin = stripOrigin();
    if (point.y() <= origin || point.y() >= origin + kStripHeight || point.x() < 0)
        return std::nullopt;
    // Truncated toward zero, so the header's rows above the first lane give lane 0.
    const int lane = (point.y() - origin - kHeaderHeight) / kLanePitch;
    if (lane >= 3) return std::nullopt;
    return Cell{point.x() / kColumnPitch + firstVisibleColumn, lane};
}

std::optional<ViewGeometry::Cell> ViewGeometry::hitRight(QPoint point,
                                                         int firstVisibleColumn) const {
    const int origin = stripOrigin();
    if (point.y() < origin + kHeaderHeight || point.y() >= origin + kStripHeight || point.x() < 0)
        return std::nullopt;
    const int lane = (point.y() - origin - kHeaderHeight) / kLanePitch;
    if (lane < 0 || lane >= 3) return std::nullopt;
    return Cell{point.x() / kColumnPitch + firstVisibleColumn, lane};
}

}  // namespace lantrel
