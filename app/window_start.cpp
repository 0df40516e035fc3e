#include "window_start.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QSettings>

#include <exception>
#include <iostream>

#include "instance_link.h"
#include "lantrel_app.h"
#include "main_frame.h"
#include "resource_setup.h"
#include "shutdown_signals.h"
#include "video/sprite_sheets.h"

namespace lantrel {

namespace {

void bringToFront(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

// The application's life: settings, the window, the open requests of later starts, and the
// event loop until the window closes or a shutdown signal comes. A running export is then
// cancelled and awaited as the window goes.
int runApplication(const QStringList& arguments, ShutdownSignals& shutdown) {
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
    shutdown.listen([](int signal) { QApplication::exit(128 + signal); });
    return QApplication::exec();
}

}  // namespace

int runWindow(int argc, char** argv) {
    // Before QApplication starts its threads, which must not take these signals themselves.
    ShutdownSignals shutdown;
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

    try {
        return runApplication(arguments, shutdown);
    } catch (const std::exception& problem) {
        std::cerr << "lantrel: " << problem.what() << '\n';
    }
    return 1;
}

}  // namespace lantrel
