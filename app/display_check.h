#pragma once

#include <string>

namespace lantrel {

// Why the window cannot be opened for want of a display, or an empty text when there is one to
// try. Looked at before Qt starts: Qt ends a program without a display by aborting with its own
// advice. A platform chosen with QT_QPA_PLATFORM (offscreen, vnc, ...) is Qt's business, and
// xcb or wayland need only their own variable.
std::string missingDisplayReason();

}  // namespace lantrel
