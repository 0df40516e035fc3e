#pragma once

#include <iosfwd>
#include <span>
#include <string>

namespace lantrel {

// `lantrel import PATH/VeltoSeq.exe`: imports the sequencer's bitmaps and sounds into the
// resource folder and reports every file of the import list.
int runImportCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace lantrel
