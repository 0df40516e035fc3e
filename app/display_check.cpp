#include "display_check.h"

#include <cstdlib>
#include <string_view>

namespace lantrel {

namespace {

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

}  // namespace

std::string missingDisplayReason() {
    const char* chosen = std::getenv("QT_QPA_PLATFORM");
    const std::string_view platform = chosen ? chosen : "";
    // Qt takes a list such as "wayland;xcb" and uses the first that works.
    const bool wantsX = platform.empty() || platform.find("xcb") != std::string_view::npos;
    const bool wantsWayland = platform.find("wayland") != std::string_view::npos;
    if (!wantsX && !wantsWayland) return {};
    if ((wantsX && isSet("DISPLAY")) || ((wantsWayland || platform.empty()) && isSet("WAYLAND_DISPLAY")))
        return {};
    const char* missing = wantsX ? "DISPLAY is not set" : "WAYLAND_DISPLAY is not set";
    return std::string("no display to open the window on (") + missing +
           "); the verbs work without one, see lantrel --help";
}

}  // namespace lantrel
