#pragma once

#include <iosfwd>
#include <span>
#include <string>

namespace lantrel {

// `lantrel arrange OUT.vtm [--from PROJECT.vtm] LANE:COLUMN:SCORE.vtq...`: places scores
// through the document, exactly as dropped files would be, and saves the project.
int runArrangeCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace lantrel
