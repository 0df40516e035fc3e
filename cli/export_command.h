#pragma once

#include <iosfwd>
#include <span>
#include <string>

namespace lantrel {

// `lantrel export PROJECT.vtm [options]`: the movie export without a window. Settings come
// from the project, overridden by the options. Runs in the window module, as render does.
int runExportCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace lantrel
