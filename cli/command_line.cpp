#include "command_line.h"

#include <algorithm>
#include <array>
#include <exception>
#include <filesystem>
#include <new>
#include <ostream>
#include <string_view>

#include "arrange_command.h"
#include "base/output_name.h"
#include "base/version.h"
#include "export_command.h"
#include "import_command.h"
#include "info_command.h"
#include "play_command.h"
#include "render_command.h"
#include "verb_help.h"

namespace lantrel {

namespace {

using VerbRunner = int (*)(std::span<const std::string>, std::ostream&, std::ostream&);

// One line of the command line: how it is called, what it does, whether it draws (and so needs
// Qt's offscreen GUI application), and the code that runs it.
struct Verb {
    std::string_view name;
    std::string_view synopsis;  // continuation lines start with spaces
    std::string_view summary;
    bool needsGui;
    VerbRunner run;
};

int runPlay(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    return runPlayCommand(args, out, err);
}

constexpr std::array<Verb, 6> kVerbs = {{
    {"info", "info FILE", "print a JSON summary of a score (.vtq) or project (.vtm) file", false,
     runInfoCommand},
    {"arrange",
     "arrange OUT.vtm [--from PROJECT.vtm] [--out-dir DIR] [--name NAME]\n"
     "                LANE:COLUMN:SCORE.vtq...",
     "place scores on a new (or the given) project and save it;\n"
     "LANE is upper, middle, lower or 0, 1, 2",
     false, runArrangeCommand},
    {"play", "play PROJECT.vtm [--from COLUMN] [--seconds N] [--no-loop]",
     "play a project through the sound output, in a loop unless --no-loop,\n"
     "from COLUMN (default 0) for N seconds or until Ctrl+C",
     false, runPlay},
    {"render", "render PROJECT.vtm POSITION OUT.png [--allow-font-substitute]",
     "draw the score screen at a half-beat position (-1 = before the start);\n"
     "without the IPA fonts it refuses, unless --allow-font-substitute", true,
     runRenderCommand},
    {"export",
     "export PROJECT.vtm [--out-dir DIR] [--name NAME] [--video|--no-video]\n"
     "               [--audio|--no-audio] [--join|--no-join] [--fps N]\n"
     "               [--rate 22050|44100] [--mono|--stereo] [--stems] [--flac]\n"
     "               [--mp4 [--scale 1..5] [--crf 0..51] [--preset NAME] [--pad-16x9]]\n"
     "               [--loops 1..99] [--fade 0..60] [--from COLUMN] [--to COLUMN]\n"
     "               [--allow-font-substitute]",
     "the movie: NAME.avi (score video), NAME.wav (sound) or one joined\n"
     "NAME.avi; or NAME.mp4 (H.264 + AAC) with --mp4; --stems adds each\n"
     "lane's sound alone, --flac writes FLAC for WAV; --loops runs the song\n"
     "several times and --fade fades it out, --from and --to export a part;\n"
     "defaults from the project's settings, its output folder and name too;\n"
     "Ctrl+C cancels",
     true, runExportCommand},
    {"import", "import PATH/VeltoSeq.exe",
     "take the sprite bitmaps and sounds from the sequencer's executable\n"
     "and its waves folder into the resource folder",
     false, runImportCommand},
}};

const Verb* findVerb(std::string_view name) {
    const auto verb = std::ranges::find(kVerbs, name, &Verb::name);
    return verb == kVerbs.end() ? nullptr : &*verb;
}

// Writes `text` with every line after the first indented by `indent`.
void writeIndented(std::ostream& stream, std::string_view text, std::string_view indent) {
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find('\n', start);
        stream << text.substr(start, end - start);
        if (end == std::string_view::npos) break;
        stream << '\n' << indent;
        start = end + 1;
    }
}

// `lantrel VERB --help`: the synopsis and summary of the table, then the verb's details.
void printVerbHelp(const Verb& verb, std::ostream& stream) {
    stream << "usage: lantrel ";
    writeIndented(stream, verb.synopsis, "       ");
    stream << "\n\n";
    writeIndented(stream, verb.summary, "");
    stream << '\n';
    if (const std::string_view details = verbDetails(verb.name); !details.empty())
        stream << '\n' << details;
}

bool isHelpOption(std::string_view arg) {
    return arg == "--help" || arg == "-h";
}

// A verb's --help is answered wherever it stands among the verb's arguments, before any of
// them is looked at, as every command-line program does.
bool asksForHelp(std::span<const std::string> args) {
    return std::ranges::any_of(args, isHelpOption);
}

}  // namespace

void printUsage(std::ostream& stream) {
    stream << "usage: lantrel [PROJECT.vtm]\n";
    for (const Verb& verb : kVerbs) {
        stream << "       lantrel ";
        writeIndented(stream, verb.synopsis, "       ");
        stream << '\n';
    }
    stream << "       lantrel --version\n\n";
    stream << "Without a verb, lantrel opens its window, on the project if one is named.\n\n";
    for (const Verb& verb : kVerbs) {
        stream << "  " << verb.name << std::string(9 - verb.name.size(), ' ');
        writeIndented(stream, verb.summary, "           ");
        stream << '\n';
    }
    stream << "\n'lantrel VERB --help' tells more about a verb and its options.\n";
}

int usageError(std::ostream& err, std::string_view verb, std::string_view problem) {
    const std::string name = verb.empty() ? "lantrel" : "lantrel " + std::string(verb);
    err << name << ": " << printableText(problem) << "; try '" << name << " --help'\n";
    return kExitUsage;
}

bool commandNeedsGui(std::span<const std::string> args) {
    const Verb* verb = args.empty() ? nullptr : findVerb(args[0]);
    return verb && verb->needsGui && !asksForHelp(args.subspan(1));
}

// A lone word that is neither a file nor has an extension is a mistyped verb, not a file for
// the window (which would open nothing for it anyway).
bool isCommandLine(std::span<const std::string> args) {
    if (args.empty()) return false;
    const std::string& first = args[0];
    if (findVerb(first) || first.starts_with("-")) return true;
    std::error_code ignored;
    const bool looksLikeWord =
        first.find('.') == std::string::npos && first.find('/') == std::string::npos;
    return looksLikeWord && !std::filesystem::exists(first, ignored);
}

namespace {

// --help, -h and `help [VERB]`: the program's help, or a verb's.
int runHelp(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (args.size() > 1) return usageError(err, "", "help takes at most one verb");
    if (args.empty()) {
        printUsage(out);
        return kExitSuccess;
    }
    const Verb* verb = findVerb(args[0]);
    if (!verb) return usageError(err, "", "there is no verb '" + args[0] + "'");
    printVerbHelp(*verb, out);
    return kExitSuccess;
}

int dispatch(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return usageError(err, "", "no verb given");
    const std::string& name = args[0];
    const auto rest = args.subspan(1);
    if (const Verb* verb = findVerb(name)) {
        if (!asksForHelp(rest)) return verb->run(rest, out, err);
        printVerbHelp(*verb, out);
        return kExitSuccess;
    }
    if (isHelpOption(name) || name == "help") return runHelp(rest, out, err);
    if (name == "--version" || name == "-V") {
        if (!rest.empty()) return usageError(err, "", "--version takes no arguments");
        out << "lantrel " << kVersion << '\n';
        return kExitSuccess;
    }
    if (name.starts_with("-")) return usageError(err, "", "unknown option '" + name + "'");
    return usageError(err, "", "unknown verb '" + name + "'");
}

}  // namespace

// The verbs return their failures; this is for what none of them foresaw, so that the user gets
// a sentence and a failure status rather than an abort.
int runCommandLine(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    const std::string_view verb = args.empty() ? std::string_view("lantrel") : args[0];
    try {
        return dispatch(args, out, err);
    } catch (const std::bad_alloc&) {
        err << "lantrel " << verb << ": not enough memory; nothing more was done\n";
    } catch (const std::exception& problem) {
        err << "lantrel " << verb << ": " << problem.what() << '\n';
    } catch (...) {
        err << "lantrel " << verb << ": an unexpected error stopped the command\n";
    }
    return kExitFailure;
}

}  // namespace lantrel
