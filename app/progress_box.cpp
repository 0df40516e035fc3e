#include "progress_box.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "video/sprite_sheets.h"

namespace lantrel {

namespace {

// The translations' context.
class Text {
    Q_DECLARE_TR_FUNCTIONS(ProgressBox)
};

// 14 points at 96 dots per inch.
constexpr int kProgressFontPixels = 19;

QString phaseCaption(int phase, bool mp4) {
    switch (phase) {
        case 0:
            return mp4 ? Text::tr("MP4 出力中…") : Text::tr("AVI 出力中…");
        case 1:
            return Text::tr("WAV 出力中…");
        case 2:
            return Text::tr("AVI 結合中…");
        default:
            return Text::tr("何かを出力中…");
    }
}

}  // namespace

void drawProgressBox(QImage& screen, int phase, bool mp4) {
    QPainter painter(&screen);
    painter.setFont(proportionalGothicFont(kProgressFontPixels));
    const QRect cancel(QPoint(384, 352), QPoint(511, 383));
    painter.fillRect(cancel, QColor(255, 0, 0));
    const QRect inner = cancel.adjusted(2, 2, -2, -2);
    painter.fillRect(inner, Qt::black);
    painter.setPen(QColor(255, 0, 0));
    painter.setClipRect(inner);
    painter.drawText(inner, Qt::AlignCenter | Qt::TextSingleLine, Text::tr("CANCEL"));

    const int textHeight = QFontMetrics(painter.font()).height();
    const QRect caption(QPoint(384, 352 - textHeight), QPoint(511, 351));
    painter.setClipRect(caption);  // before the fill: the cancel box's clip would hide it
    painter.fillRect(caption, Qt::black);
    painter.setPen(Qt::white);
    painter.drawText(caption, Qt::AlignCenter | Qt::TextSingleLine, phaseCaption(phase, mp4));
}

}  // namespace lantrel
