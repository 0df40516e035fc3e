#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <filesystem>
#include <string>

#include "resources/app_icon.h"
#include "resources/toolbar_icons.h"

namespace lantrel {
namespace {

std::filesystem::path iconFile(int size) {
    const std::string name = std::to_string(size) + "x" + std::to_string(size);
    return std::filesystem::path(LANTREL_ICON_TREE) / name / "apps" / "lantrel.png";
}

QColor colourOf(Rgba pixel) {
    return QColor(pixel.r, pixel.g, pixel.b, pixel.a);
}

// The desktop's icon and the window's are one picture: each file holds exactly the pixels
// that the program has compiled in, transparency included.
TEST(AppIconFiles, EachThemeSizeHoldsTheProgramsOwnPicture) {
    for (int size : kAppIconSizes) {
        QImage file(QString::fromStdString(iconFile(size).string()), "PNG");
        ASSERT_FALSE(file.isNull()) << iconFile(size);
        ASSERT_EQ(file.width(), size);
        ASSERT_EQ(file.height(), size);
        EXPECT_TRUE(file.hasAlphaChannel()) << size;
        const RgbaImage icon = appIcon(size);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                ASSERT_EQ(file.pixelColor(x, y), colourOf(icon.at(x, y)))
                    << size << ": " << x << "," << y;
    }
}

// The window makes its buttons with QImage(data, 16, 15, 64, Format_RGBA8888); the bytes
// must mean to Qt what the palette says.
TEST(ToolbarIconBytes, ReadAsRgba8888TheyShowThePalettesColours) {
    for (int command : kToolbarCommands) {
        const ToolbarIcon& icon = *toolbarIcon(command);
        const QImage image(reinterpret_cast<const uchar*>(icon.data()), kToolbarIconWidth,
                           kToolbarIconHeight, kToolbarIconWidth * 4, QImage::Format_RGBA8888);
        for (int y = 0; y < kToolbarIconHeight; ++y)
            for (int x = 0; x < kToolbarIconWidth; ++x)
                ASSERT_EQ(image.pixelColor(x, y), colourOf(icon[y * kToolbarIconWidth + x]))
                    << command << ": " << x << "," << y;
    }
}

}  // namespace
}  // namespace lantrel
