#include <iostream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "display_check.h"
#include "window_start.h"

// With a verb (or an option such as --help) the program works on the command line; with no
// argument or a file name it opens the window. The window, and the verbs that draw or play,
// run in the window module, which this executable opens only for them.
int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (lantrel::isCommandLine(args)) return lantrel::runCommandLine(args, std::cout, std::cerr);
    // Before the window module and Qt are loaded, which would only abort without a display.
    if (const std::string reason = lantrel::missingDisplayReason(); !reason.empty()) {
        std::cerr << "lantrel: " << reason << '\n';
        return 1;
    }
    return lantrel::runWindow(argc, argv);
}
