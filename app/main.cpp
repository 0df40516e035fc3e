#include <QGuiApplication>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "display_check.h"
#include "video/sprite_sheets.h"
#include "window_start.h"

namespace {

// The drawing verbs run Qt without a window; its notes about the session (no runtime folder,
// no display) are not the user's concern there. Errors still get through.
void quietQtNotes(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << '\n';
}

int runVerb(int argc, char** argv, const std::vector<std::string>& args) {
    if (!lantrel::commandNeedsGui(args)) return lantrel::runCommandLine(args, std::cout, std::cerr);
    // Drawing verbs run without a display: Qt paints text into images offscreen.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(quietQtNotes);
    QGuiApplication application(argc, argv);
    lantrel::installScreenFontSubstitutes();
    return lantrel::runCommandLine(args, std::cout, std::cerr);
}

}  // namespace

// With a verb (or an option such as --help) the program works on the command line; with no
// argument or a file name it opens the window.
int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (lantrel::isCommandLine(args)) return runVerb(argc, argv, args);
    if (const std::string reason = lantrel::missingDisplayReason(); !reason.empty()) {
        std::cerr << "lantrel: " << reason << '\n';
        return 1;
    }
    return lantrel::runWindow(argc, argv);
}
