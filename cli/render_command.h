#pragma once

#include <iosfwd>
#include <span>
#include <string>

namespace lantrel {

// `lantrel render PROJECT.vtm POSITION OUT.png`: the score screen at a half-beat position
// (-1 = before the first column), as the movie shows it. Like export and play it needs Qt, so
// the executable runs it in the window module (app/loaded_window_module.cpp).
int runRenderCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace lantrel
