// Writes the program's icon into a hicolor icon tree (NxN/apps/lantrel.png for every size the
// desktop asks for), from the pixel art compiled into the program, so that the window's icon
// and the desktop's are the same picture. With --contact-sheet it draws every toolbar button
// and every icon size on one page instead, for checking the artwork by eye.
#include <QColor>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

#include "resources/app_icon.h"
#include "resources/toolbar_icons.h"

namespace lantrel {
namespace {

void printUsage(std::ostream& stream) {
    stream << "usage: make_app_icons FOLDER | --contact-sheet OUT.png\n"
              "  FOLDER           write FOLDER/NxN/apps/lantrel.png for N = 16 ... 256\n"
              "  --contact-sheet  draw the toolbar buttons at 4x and every icon size as PNG\n";
}

QImage toQImage(const RgbaImage& image) {
    QImage result(image.width(), image.height(), QImage::Format_RGBA8888);
    const auto rowBytes = static_cast<std::size_t>(image.width()) * sizeof(Rgba);
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(result.scanLine(y),
                    &image.pixels()[static_cast<std::size_t>(y * image.width())], rowBytes);
    return result;
}

QImage toQImage(const ToolbarIcon& icon) {
    RgbaImage image(kToolbarIconWidth, kToolbarIconHeight);
    for (int y = 0; y < kToolbarIconHeight; ++y)
        for (int x = 0; x < kToolbarIconWidth; ++x)
            image.set(x, y, icon[static_cast<std::size_t>(y * kToolbarIconWidth + x)]);
    return toQImage(image);
}

bool writeIconTree(const std::filesystem::path& folder) {
    for (int size : kAppIconSizes) {
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        const auto path = folder / name / "apps" / "lantrel.png";
        std::error_code error;
        std::filesystem::create_directories(path.parent_path(), error);
        if (!toQImage(appIcon(size)).save(QString::fromStdString(path.string()), "PNG")) {
            std::cerr << "make_app_icons: cannot write " << path << '\n';
            return false;
        }
    }
    return true;
}

constexpr int kGap = 8;
constexpr int kButtonScale = 4;
constexpr int kButtonRowHeight = kGap + kToolbarIconHeight * kButtonScale + kGap;
constexpr int kIconRowHeight = kAppIconSizes.back() + kGap;

void drawButtons(QPainter& painter) {
    int x = kGap;
    for (int command : kToolbarCommands) {
        const QImage button = toQImage(*toolbarIcon(command));
        const QRect target(x, kGap, button.width() * kButtonScale, button.height() * kButtonScale);
        painter.drawImage(target, button);  // no smoothing: each pixel becomes a square
        x += target.width() + kGap;
    }
}

void drawIconRow(QPainter& painter, int top) {
    int x = kGap;
    for (int size : kAppIconSizes) {
        painter.drawImage(x, top, toQImage(appIcon(size)));
        x += size + kGap;
    }
}

// The buttons in a row on a light toolbar grey; below them the icon sizes on light and on
// dark, since a desktop may show it on either.
bool writeContactSheet(const std::filesystem::path& path) {
    const int buttonsWidth =
        (kToolbarIconWidth * kButtonScale + kGap) * static_cast<int>(kToolbarCommands.size());
    int iconsWidth = 0;
    for (int size : kAppIconSizes)
        iconsWidth += size + kGap;
    const int width = kGap + std::max(buttonsWidth, iconsWidth);
    QImage sheet(width, kButtonRowHeight + 2 * kIconRowHeight, QImage::Format_RGBA8888);
    sheet.fill(QColor(240, 240, 240));
    QPainter painter(&sheet);
    painter.fillRect(0, kButtonRowHeight + kIconRowHeight, width, kIconRowHeight,
                     QColor(50, 50, 50));
    drawButtons(painter);
    drawIconRow(painter, kButtonRowHeight);
    drawIconRow(painter, kButtonRowHeight + kIconRowHeight);
    painter.end();
    return sheet.save(QString::fromStdString(path.string()), "PNG");
}

}  // namespace
}  // namespace lantrel

int main(int argc, char** argv) {
    const std::string first = argc > 1 ? argv[1] : "";
    if (argc == 3 && first == "--contact-sheet") return lantrel::writeContactSheet(argv[2]) ? 0 : 1;
    if (argc == 2 && !first.starts_with("-")) return lantrel::writeIconTree(first) ? 0 : 1;
    lantrel::printUsage(std::cerr);
    return 2;
}
