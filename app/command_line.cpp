#include "command_line.h"

#include <ostream>

#include "arrange_command.h"
#include "import_command.h"
#include "info_command.h"

namespace lantrel {

void printUsage(std::ostream& stream) {
    stream << "usage: lantrel info FILE\n"
              "       lantrel arrange OUT.vtm [--from PROJECT.vtm] LANE:COLUMN:SCORE.vtq...\n"
              "       lantrel import PATH/VeltoSeq.exe\n"
              "\n"
              "  info     print a JSON summary of a score (.vtq) or project (.vtm) file\n"
              "  arrange  place scores on a new (or the given) project and save it;\n"
              "           LANE is upper, middle, lower or 0, 1, 2\n"
              "  import   take the sprite bitmaps and sounds from the sequencer's executable\n"
              "           and its waves folder into the resource folder\n";
}

int runCommandLine(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        printUsage(err);
        return kExitUsage;
    }
    const std::string& verb = args[0];
    const auto rest = args.subspan(1);
    if (verb == "info") return runInfoCommand(rest, out, err);
    if (verb == "arrange") return runArrangeCommand(rest, out, err);
    if (verb == "import") return runImportCommand(rest, out, err);
    if (verb == "--help" || verb == "-h" || verb == "help") {
        printUsage(out);
        return kExitSuccess;
    }
    err << "lantrel: unknown command '" << verb << "'\n";
    printUsage(err);
    return kExitUsage;
}

}  // namespace lantrel
