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
    std::optional<std::string> outDir;
    std::optional<std::string> name;
    std::vector<Placement> placements;
};

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
        if (arg == "--from" || arg == "--out-dir" || arg == "--name") {
            if (i + 1 == args.size())
                problem = arg + " needs a value";
            else if (arg == "--from")
                parsed.from = args[++i];
            else
                (arg == "--name" ? parsed.name : parsed.outDir) = args[++i];
        } else if (arg.starts_with("-")) {
            problem = "unknown option '" + arg + "'";
        } else if (!haveOutput) {
            parsed.output = arg;
            haveOutput = true;
        } else if (auto placement = parsePlacement(arg, problem)) {
            parsed.placements.push_back(std::move(*placement));
        }
        if (!problem.empty()) {
            usageError(err, "arrange", problem);
            return std::nullopt;
        }
    }
    std::string problem;
    if (!haveOutput) problem = "no project file to save given";
    if (parsed.name && !parsed.name->empty() && !isSafeOutputFileName(*parsed.name))
        problem = "--name must be a file name, without a folder or control characters";
    if (!problem.empty()) {
        usageError(err, "arrange", problem);
        return std::nullopt;
    }
    return parsed;
}

// Every placement takes the score's folder and name for the project's exports, as in the
// window; --out-dir and --name replace them once all are made. The folder is stored absolute,
// so that the project means the same folder wherever it is exported from; an empty one stays
// empty, as does an empty name.
void storeOutput(CVtqGuiDoc& document, const ArrangeArguments& parsed) {
    ProjectSettings settings = document.settings();
    if (parsed.outDir)
        settings.outputFolder =
            parsed.outDir->empty() ? "" : std::filesystem::absolute(*parsed.outDir).string();
    if (parsed.name) settings.fileName = *parsed.name;
    document.setSettings(settings);
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
    if (parsed->outDir || parsed->name) storeOutput(document, *parsed);
    const DocumentFileResult saved = document.save(parsed->output);
    if (!saved.ok()) {
        err << "lantrel arrange: " << saved.message << '\n';
        return kExitFailure;
    }
    out << "saved " << parsed->output.string() << " (" << document.columnCount(-1) << " columns)\n";
    return kExitSuccess;
}

}  // namespace lantrel
