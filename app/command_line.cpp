#include "command_line.h"

#include <ostream>

#include "arrange_command.h"
#include "export_command.h"
#include "import_command.h"
#include "info_command.h"
#include "play_command.h"
#include "render_command.h"

namespace lantrel {

void printUsage(std::ostream& stream) {
    stream
        << "usage: lantrel info FILE\n"
           "       lantrel arrange OUT.vtm [--from PROJECT.vtm] LANE:COLUMN:SCORE.vtq...\n"
           "       lantrel play PROJECT.vtm [--from COLUMN] [--seconds N] [--no-loop]\n"
           "       lantrel render PROJECT.vtm POSITION OUT.png\n"
           "       lantrel export PROJECT.vtm [--out-dir DIR] [--name NAME] [--video|--no-video]\n"
           "                      [--audio|--no-audio] [--join|--no-join] [--fps N]\n"
           "                      [--rate 22050|44100] [--mono|--stereo]\n"
           "       lantrel import PATH/VeltoSeq.exe\n"
           "\n"
           "  info     print a JSON summary of a score (.vtq) or project (.vtm) file\n"
           "  arrange  place scores on a new (or the given) project and save it;\n"
           "           LANE is upper, middle, lower or 0, 1, 2\n"
           "  play     play a project through the sound output, in a loop unless --no-loop,\n"
           "           from COLUMN (default 0) for N seconds or until Ctrl+C\n"
           "  render   draw the score screen at a half-beat position (-1 = before the start)\n"
           "  export   the movie: NAME.avi (score video), NAME.wav (sound) or one joined\n"
           "           NAME.avi; defaults from the project's settings; Ctrl+C cancels\n"
           "  import   take the sprite bitmaps and sounds from the sequencer's executable\n"
           "           and its waves folder into the resource folder\n";
}

bool commandNeedsGui(std::span<const std::string> args) {
    return !args.empty() && (args[0] == "render" || args[0] == "export");
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
    if (verb == "export") return runExportCommand(rest, out, err);
    if (verb == "render") return runRenderCommand(rest, out, err);
    if (verb == "import") return runImportCommand(rest, out, err);
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
