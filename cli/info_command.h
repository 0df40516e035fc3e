#pragma once

#include <iosfwd>
#include <span>
#include <string>

namespace lantrel {

// `lantrel info FILE`: one JSON object describing a score or a project file.
int runInfoCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace lantrel
