#include "app_icons.h"

#include <QPixmap>

#include "resources/app_icon.h"
#include "resources/toolbar_icons.h"

namespace lantrel {

namespace {

// Rgba lies in memory as red, green, blue, alpha: Qt's RGBA8888.
QImage fromPixels(const Rgba* pixels, int width, int height) {
    return QImage(reinterpret_cast<const uchar*>(pixels), width, height,
                  width * static_cast<int>(sizeof(Rgba)), QImage::Format_RGBA8888)
        .copy();
}

}  // namespace

QImage applicationIconImage(int size) {
    const RgbaImage art = appIcon(size);
    if (art.isNull()) return {};
    return fromPixels(art.pixels().data(), art.width(), art.height());
}

QIcon applicationIcon() {
    QIcon icon;
    for (const int size : kAppIconSizes)
        icon.addPixmap(QPixmap::fromImage(applicationIconImage(size)));
    return icon;
}

QIcon toolbarButtonIcon(int commandId) {
    const ToolbarIcon* pixels = toolbarIcon(commandId);
    if (!pixels) return {};
    return QIcon(
        QPixmap::fromImage(fromPixels(pixels->data(), kToolbarIconWidth, kToolbarIconHeight)));
}

}  // namespace lantrel
