#include "arrange_command.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <vector>

#include "argument_parsing.h"
#include "base/output_name.h"
#include "command_line.h"
#include "model/vtq_gui_doc.h"
#include "score_diagnosis.h"

namespace lantrel {

namespace {

struct Placement {
    std::string text;  // as given, for messages
    int lane = 0;
    int column = 0;
    std::filesystem::path file;
};

struct ArrangeArguments {
    std::filesystem::path output;
    std::optional<std::filesystem::path> from;
    std::optional<std::filesystem::path> outDir;  // stored as the movie's output folder
    std::optional<std::string> name;              // stored as the movie's file name
    std::vector<Placement> placements;
};

// --from, --out-dir and --name, each with a value; false when `arg` is none of them.
bool parseValueOption(std::span<const std::string> args, std::size_t& i, ArrangeArguments& parsed,
                      std::string& problem) {
    const std::string& arg = args[i];
    if (arg != "--from" && arg != "--out-dir" && arg != "--name") return false;
    if (i + 1 == args.size()) {
        problem = arg + " needs a value";
        return true;
    }
    const std::string& value = args[++i];
    if (arg == "--from")
        parsed.from = value;
    else if (arg == "--out-dir" && !value.empty())
        parsed.outDir = std::filesystem::absolute(value);
    else if (arg == "--name" && isSafeOutputFileName(value))
        parsed.name = value;
    else
        problem = arg == "--name" ? "'" + printableText(value) +
                                        "' cannot be a file name (empty, . or .., a control "
                                        "character or a path separator)"
                                  : "--out-dir needs a folder";
    return true;
}

std::optional<int> parseColumn(std::string_view text) {
    const auto column = parseNumber<int>(text);
    return column && *column >= 0 ? column : std::nullopt;
}

// LANE:COLUMN:FILE; the file name may itself contain colons.
std::optional<Placement> parsePlacement(const std::string& text, std::string& problem) {
    const auto first = text.find(':');
    const auto second = first == std::string::npos ? first : text.find(':', first + 1);
    if (second == std::string::npos || second + 1 == text.size()) {
        problem = "'" + text + "' is not LANE:COLUMN:FILE";
        return std::nullopt;
    }
    Placement placement{text, 0, 0, text.substr(second + 1)};
    const auto lane = parseLane(std::string_view(text).substr(0, first));
    const auto column = parseColumn(std::string_view(text).substr(first + 1, second - first - 1));
    if (!lane)
        problem = "'" + text + "': the lane must be upper, middle, lower, 0, 1 or 2";
    else if (!column)
        problem = "'" + text + "': the column must be a number 0 or more";
    if (!lane || !column) return std::nullopt;
    placement.lane = *lane;
    placement.column = *column;
    return placement;
}

std::optional<ArrangeArguments> parseArguments(std::span<const std::string> args,
                                               std::ostream& err) {
    ArrangeArguments parsed;
    bool haveOutput = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string problem;
        if (parseValueOption(args, i, parsed, problem)) {
        } else if (arg.starts_with("-")) {
            problem = "unknown option '" + arg + "'";
        } else if (!haveOutput) {
            parsed.output = arg;
            haveOutput = true;
        } else if (auto placement = parsePlacement(arg, problem)) {
            parsed.placements.push_back(std::move(*placement));
        }
        if (!problem.empty()) {
            err << "lantrel arrange: " << problem << '\n';
            return std::nullopt;
        }
    }
    if (!haveOutput) {
        err << "usage: lantrel arrange OUT.vtm [--from PROJECT.vtm] [--out-dir DIR] [--name NAME]\n"
               "                       LANE:COLUMN:SCORE.vtq...\n";
        return std::nullopt;
    }
    return parsed;
}

}  // namespace

int runArrangeCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    const auto parsed = parseArguments(args, err);
    if (!parsed) return kExitUsage;

    CVtqGuiDoc document;
    if (parsed->from) {
        const DocumentFileResult opened = document.open(*parsed->from);
        if (!opened.ok()) {
            err << "lantrel arrange: " << opened.message << '\n';
            return kExitFailure;
        }
    }
    for (const Placement& placement : parsed->placements) {
        // Absolute, as the window's dropped files are, so the output folder comes out right.
        const std::filesystem::path file = std::filesystem::absolute(placement.file);
        const int placed = document.PlaceScoreFile(placement.lane, placement.column, file.string());
        out << placement.text << ": placed " << placed << " columns on the "
            << kLaneNames[placement.lane] << " lane at column " << placement.column << '\n';
        if (placed == 0) {
            err << "lantrel arrange: " << explainRefusedPlacement(file, placement.column)
                << "; nothing was saved\n";
            return kExitFailure;
        }
    }
    // After the placements, which name the output after the first score they place.
    if (parsed->outDir || parsed->name) {
        ProjectSettings settings = document.settings();
        if (parsed->outDir) settings.outputFolder = parsed->outDir->string();
        if (parsed->name) settings.fileName = *parsed->name;
        document.setSettings(settings);
    }
    const DocumentFileResult saved = document.save(parsed->output);
    if (!saved.ok()) {
        err << "lantrel arrange: " << saved.message << '\n';
        return kExitFailure;
    }
    out << "saved " << parsed->output.string() << " (" << document.columnCount(-1) << " columns)\n";
    return kExitSuccess;
}

}  // namespace lantrel
