#pragma once

namespace lantrel {

// The program as a window: Qt, the resource check, the user's settings, the main window with
// a new project or the one file named, and the event loop. Returns the exit status. It runs in
// the window module; the executable's runWindow opens the module and calls this one there.
int runWindow(int argc, char** argv);

}  // namespace lantrel
