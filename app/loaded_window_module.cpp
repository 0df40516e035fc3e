// The executable's way into the window module. The dispatch (cli/command_line.cpp) names the
// verbs that draw or play, and main the window, by their own functions; the executable links
// these stand-ins for them, which run the real ones in the module. The module and the tests
// link the real ones.
#include <iostream>
#include <string_view>
#include <vector>

#include "cli/command_line.h"
#include "cli/export_command.h"
#include "cli/play_command.h"
#include "cli/render_command.h"
#include "window_module.h"
#include "window_start.h"

namespace lantrel {

namespace {

int runInWindowModule(std::string_view verb, std::span<const std::string> args, std::ostream& out,
                      std::ostream& err) {
    std::string error;
    const WindowModule* module = windowModule(error);
    if (!module) {
        err << "lantrel " << verb << ": " << error << '\n';
        return kExitFailure;
    }
    std::vector<std::string> command{std::string(verb)};
    command.insert(command.end(), args.begin(), args.end());
    return module->runVerb(command, out, err);
}

}  // namespace

const WindowModule* windowModule(std::string& error) {
    return openProgramModule<WindowModule>(kWindowModuleFile, kWindowModuleEntry,
                                           kWindowInterfaceVersion, "the window module", error);
}

int runRenderCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    return runInWindowModule("render", args, out, err);
}

int runExportCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    return runInWindowModule("export", args, out, err);
}

// The dispatch plays with the program's own resource folders, the only options it passes.
int runPlayCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err,
                   const PlayCommandOptions&) {
    return runInWindowModule("play", args, out, err);
}

int runWindow(int argc, char** argv) {
    std::string error;
    const WindowModule* module = windowModule(error);
    if (!module) {
        std::cerr << "lantrel: " << error << '\n';
        return kExitFailure;
    }
    return module->runWindow(argc, argv);
}

}  // namespace lantrel
