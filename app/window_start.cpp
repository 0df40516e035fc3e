#include "window_start.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QSettings>

#include <signal.h>

#include <cstdlib>
#include <exception>
#include <iostream>

#include "instance_link.h"
#include "lantrel_app.h"
#include "main_frame.h"
#include "resource_setup.h"
#include "shutdown_signals.h"
#include "translation_setup.h"
#include "video/sprite_sheets.h"

namespace lantrel {

namespace {

// While Qt connects to the display: a display that is named but does not answer ends Qt with a
// fatal message and an abort, which would leave a core dump and Qt's advice to reinstall. The
// user gets one line and the failure status instead. The platform plugin's notes on the way
// there only repeat it; everything else reads as Qt writes it.
void displayFailureAsOneLine(QtMsgType type, const QMessageLogContext& context,
                             const QString& message) {
    if (type != QtFatalMsg) {
        if (context.category && QByteArrayView(context.category).startsWith("qt.qpa")) return;
        std::cerr << qFormatLogMessage(type, context, message).toStdString() << '\n';
        return;
    }
    const QString display = qEnvironmentVariable("WAYLAND_DISPLAY", qEnvironmentVariable("DISPLAY"));
    std::cerr << "lantrel: cannot open the window: no display answers at " << display.toStdString()
              << "; the verbs work without one, see lantrel --help\n";
    std::_Exit(1);
}

void bringToFront(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

// Ctrl+C in the terminal is the user at the keyboard: it closes the window as the window's
// own close button does, with the save question. A shutdown or a closed terminal cannot wait
// for an answer: the unsaved project goes to a recovery copy, and the program ends at once.
void endBySignal(CLantrelApp& lantrel, int signal) {
    if (signal == SIGINT) {
        // While a question or a dialog is open, the window's close button waits for it too.
        if (QApplication::activeModalWidget() != nullptr) return;
        if (lantrel.frame()->isVisible() && lantrel.frame()->close())
            QApplication::exit(128 + signal);
        return;
    }
    std::string error;
    const std::filesystem::path copy = lantrel.writeRecoveryCopy(error);
    if (!copy.empty())
        std::cerr << "lantrel: the unsaved project is kept in " << copy.string() << '\n';
    else if (!error.empty())
        std::cerr << "lantrel: the unsaved project could not be kept: " << error << '\n';
    QApplication::exit(128 + signal);
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
    shutdown.listen([&lantrel](int signal) {
        // Later, from the event loop: closing may ask the save question, whose own event loop
        // must not run inside the signal's notifier.
        QMetaObject::invokeMethod(
            &lantrel, [&lantrel, signal] { endBySignal(lantrel, signal); }, Qt::QueuedConnection);
    });
    return QApplication::exec();
}

}  // namespace

int runWindow(int argc, char** argv) {
    // Before QApplication starts its threads, which must not take these signals themselves.
    ShutdownSignals shutdown;
    qInstallMessageHandler(displayFailureAsOneLine);
    QApplication application(argc, argv);
    qInstallMessageHandler(nullptr);
    QApplication::setOrganizationName(QStringLiteral("Lantrel"));
    QApplication::setApplicationName(QStringLiteral("lANTREL SEQUENCER"));
    QGuiApplication::setDesktopFileName(QStringLiteral("lantrel"));
    installTranslation(application);
    installScreenFontSubstitutes();
    // The window's texts are Japanese (or English); this font has every character of them.
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
