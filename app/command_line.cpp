#include "command_line.h"

#include <ostream>

#include "arrange_command.h"
#include "info_command.h"
#include "play_command.h"

namespace lantrel {

void printUsage(std::ostream& stream) {
    stream << "usage: lantrel info FILE\n"
              "       lantrel arrange OUT.vtm [--from PROJECT.vtm] LANE:COLUMN:SCORE.vtq...\n"
              "       lantrel play PROJECT.vtm [--from COLUMN] [--seconds N] [--no-loop]\n"
              "\n"
              "  info     print a JSON summary of a score (.vtq) or project (.vtm) file\n"
              "  arrange  place scores on a new (or the given) project and save it;\n"
              "           LANE is upper, middle, lower or 0, 1, 2\n"
              "  play     play a project through the sound output, in a loop unless --no-loop,\n"
              "           from COLUMN (default 0) for N seconds or until Ctrl+C\n";
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
    if (verb == "play") return runPlayCommand(rest, out, err);
    if (verb == "--help" || verb == "-h" || verb == "help") {
        printUsage(out);
        return kExitSuccess;
    }
    err << "lantrel: unknown command '" << verb << "'\n";
    printUsage(err);
    return kExitUsage;
}

}  // namespace lantrel
