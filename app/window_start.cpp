#include "window_start.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QSettings>

#include <iostream>

#include "instance_link.h"
#include "lantrel_app.h"
#include "main_frame.h"
#include "resource_setup.h"
#include "video/sprite_sheets.h"

namespace lantrel {

namespace {

void bringToFront(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace

int runWindow(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Lantrel"));
    QApplication::setApplicationName(QStringLiteral("lANTREL SEQUENCER"));
    QGuiApplication::setDesktopFileName(QStringLiteral("lantrel"));
    installScreenFontSubstitutes();
    // The window's texts are Japanese; this font has every character of them.
    QApplication::setFont(QFont(QStringLiteral("IPAPGothic"), 9));

    const QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.size() > 1) {
        std::cerr << "lantrel: the window opens one file at most\n";
        return 2;
    }
    if (!arguments.isEmpty() &&
        InstanceLink::forward(QFileInfo(arguments.front()).absoluteFilePath()))
        return 0;
    if (!setUpResources()) return 1;

    QSettings store;
    AppServices services;
    services.store = &store;
    CLantrelApp lantrel(std::move(services));
    if (!lantrel.start(arguments)) return 1;
    InstanceLink link;
    link.listen([&lantrel](const QString& name) {
        lantrel.openFile(name);
        bringToFront(lantrel.frame());
    });
    return QApplication::exec();
}

}  // namespace lantrel
