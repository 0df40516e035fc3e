// GoogleTest main for suites that draw text: Qt needs a GUI application for fonts, on the
// offscreen platform so that no display is needed.
#include <gtest/gtest.h>
#include <QGuiApplication>

#include <cstdlib>

#include "video/sprite_sheets.h"

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication application(argc, argv);
    lantrel::installScreenFontSubstitutes();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
