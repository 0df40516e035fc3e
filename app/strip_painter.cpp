#include "strip_painter.h"

#include <QFontMetrics>
#include <QPainter>

#include "model/note.h"
#include "model/project.h"
#include "video/sprite_sheets.h"
#include "view_geometry.h"

namespace lantrel {

namespace {

constexpr int kPitch = ViewGeometry::kColumnPitch;
constexpr int kHeader = ViewGeometry::kHeaderHeight;
constexpr int kLanePitch = ViewGeometry::kLanePitch;
constexpr int kTickTop = 4;

void fillRow(QImage& image, int y, int x0, int x1, QRgb colour) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    std::fill(row + x0, row + x1, colour);
}

}  // namespace

StripPainter::StripPainter(const SpriteSheets& sprites)
    : sprites_(sprites),
      smallIcons_(sprites.iconStrip()
                      .scaled(SpriteSheets::kIconCells * kSmallIcon, kSmallIcon,
                              Qt::IgnoreAspectRatio, Qt::FastTransformation)
                      .convertToFormat(QImage::Format_RGB32)) {}

void StripPainter::paint(QImage& strip, const Project& project, int firstVisibleColumn) const {
    strip.fill(Qt::white);
    paintGrid(strip);
    paintHeader(strip, firstVisibleColumn, project.fourFour());
    paintCells(strip, project, firstVisibleColumn);
}

void StripPainter::paintGrid(QImage& strip) const {
    const int width = strip.width();
    const QRgb grid = 0xFF000000u | kGridColour;
    for (int lane = 0; lane <= kLaneCount; ++lane)
        fillRow(strip, kHeader + kLanePitch * lane, 0, width, grid);
    for (int y = kHeader + 1; y < kHeader + kLanePitch * kLaneCount; ++y) {
        auto* row = reinterpret_cast<QRgb*>(strip.scanLine(y));
        for (int x = 0; x < width; x += kPitch)
            row[x] = grid;
    }
}

// Ticks and numbers at every bar start: a bar is four columns in 4/4, else three.
void StripPainter::paintHeader(QImage& strip, int firstVisibleColumn, bool fourFour) const {
    const int width = strip.width();
    const int bar = fourFour ? 4 : 3;
    const QRgb grid = 0xFF000000u | kGridColour;
    QPainter painter(&strip);
    painter.setFont(sprites_.barNumberFont());
    painter.setPen(Qt::black);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Qt::white);
    const QFontMetrics metrics(painter.font());
    for (int k = (bar - firstVisibleColumn % bar) % bar; kPitch * k < width; k += bar) {
        const int x = kPitch * k;
        for (int y = kTickTop; y < kHeader; ++y)
            reinterpret_cast<QRgb*>(strip.scanLine(y))[x] = grid;
        const QString number = QString::number((firstVisibleColumn + k) / bar + 1);
        const QRect box(x + 2, 0, metrics.horizontalAdvance(number), kHeader);
        painter.drawText(box, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine, number);
    }
}

void StripPainter::paintCells(QImage& strip, const Project& project, int firstVisibleColumn) const {
    const QRgb grey = 0xFF000000u | kEmptyCellColour;
    for (int k = 0; kPitch * k < strip.width(); ++k) {
        const int column = firstVisibleColumn + k;
        const int x = kPitch * k + 1;
        for (int lane = 0; lane < kLaneCount; ++lane) {
            const int top = kHeader + 1 + kLanePitch * lane;
            for (int slot = 0; slot < kSlotsPerCell; ++slot) {
                if (project.pitch(lane, column, slot) == -1) {
                    // Outside every placed score: the cell goes grey, its slots unexamined.
                    for (int y = top; y < top + kLanePitch - 1; ++y)
                        fillRow(strip, y, x, std::min(x + kPitch - 1, strip.width()), grey);
                    break;
                }
                const int instrument = project.instrument(lane, column, slot);
                if (instrument < 1 || instrument > 15) continue;
                const int iconY = top + kSmallIcon * slot;
                for (int row = 0; row < kSmallIcon; ++row) {
                    const auto* source =
                        reinterpret_cast<const QRgb*>(smallIcons_.constScanLine(row)) +
                        kSmallIcon * (instrument - 1);
                    auto* target = reinterpret_cast<QRgb*>(strip.scanLine(iconY + row)) + x;
                    const int visible = std::min(kSmallIcon, strip.width() - x);
                    std::copy(source, source + std::max(visible, 0), target);
                }
            }
        }
    }
}

}  // namespace lantrel
