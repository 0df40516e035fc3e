// The window module's entry point: what the executable finds in window.so.
#include "window_module.h"

#include <errno.h>

#include <QGuiApplication>

#include <cstdlib>
#include <iostream>
#include <vector>

#include "cli/command_line.h"
#include "video/sprite_sheets.h"
#include "window_start.h"

namespace lantrel {

namespace {

// The drawing verbs run Qt without a window; its notes about the session (no runtime folder,
// no display) are not the user's concern there. Errors still get through.
void quietQtNotes(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << '\n';
}

int runVerb(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (!commandNeedsGui(args)) return runCommandLine(args, out, err);
    // Drawing verbs run without a display: Qt paints text into images offscreen.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(quietQtNotes);
    // Qt gets the command line as the program was started with it, for its own options.
    std::vector<std::string> words{program_invocation_name};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(words.size());
    QGuiApplication application(argc, argv.data());
    installScreenFontSubstitutes();
    return runCommandLine(args, out, err);
}

const WindowModule& window() {
    static const WindowModule module{
        {kWindowInterfaceVersion, sizeof(WindowModule), programVersion()}, runWindow, runVerb};
    return module;
}

}  // namespace

}  // namespace lantrel

LANTREL_MODULE_ENTRY const lantrel::ModuleHeader* lantrel_window_module() {
    return &lantrel::window().header;
}
