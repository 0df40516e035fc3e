#pragma once

#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>

#include "base/program_module.h"

namespace lantrel {

// The program's Qt half as the executable reaches it: the window, and the verbs that draw or
// play (render, export, play) with the session, video and sound layers under them. The
// executable itself links none of it, so that `lantrel info` and the other plain verbs start
// without Qt; it opens the module (window.so) for the window or for one of those verbs.
struct WindowModule {
    ModuleHeader header;
    // The window, as runWindow (window_start.h) runs it.
    int (*runWindow)(int argc, char** argv);
    // The command line `args` (the verb first), as runCommandLine runs it, inside Qt's
    // offscreen GUI application when the verb draws.
    int (*runVerb)(std::span<const std::string> args, std::ostream& out, std::ostream& err);
};

// Raised with every change to WindowModule.
inline constexpr std::uint32_t kWindowInterfaceVersion = 1;
inline constexpr const char* kWindowModuleFile = "window.so";
inline constexpr const char* kWindowModuleEntry = "lantrel_window_module";

// The window module, opened on first use, or null with `error` saying why.
const WindowModule* windowModule(std::string& error);

}  // namespace lantrel
