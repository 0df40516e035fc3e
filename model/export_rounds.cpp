#include "export_rounds.h"

#include <cmath>

#include "project_settings.h"

namespace lantrel {

namespace {

std::string pastTheEnd(const char* option, int column, int last) {
    return std::string(option) + " " + std::to_string(column) +
           " lies past the arrangement's end (" +
           (last < 0 ? std::string("it has no column")
                     : "its last column is " + std::to_string(last)) +
           ")";
}

}  // namespace

std::string exportRoundsProblem(const ExportRounds& rounds) {
    if (rounds.loops < 1 || rounds.loops > ExportRounds::kMaxLoops)
        return "--loops must be 1 to 99";
    if (!(rounds.fadeSeconds >= 0.0 && rounds.fadeSeconds <= ExportRounds::kMaxFadeSeconds))
        return "--fade must be 0 to 60 seconds";
    if (rounds.fromColumn < 0) return "--from must be a column, 0 or more";
    if (rounds.toColumn && *rounds.toColumn < 0) return "--to must be a column, 0 or more";
    if (rounds.toColumn && rounds.fromColumn > *rounds.toColumn)
        return "--from " + std::to_string(rounds.fromColumn) + " lies past --to " +
               std::to_string(*rounds.toColumn);
    return {};
}

std::string exportRoundsProblem(const ExportRounds& rounds, int arrangementColumns) {
    if (std::string problem = exportRoundsProblem(rounds); !problem.empty()) return problem;
    const int last = arrangementColumns - 1;
    if (rounds.toColumn && *rounds.toColumn > last)
        return pastTheEnd("--to", *rounds.toColumn, last);
    // From 0 is the start even of an empty arrangement, which exports as it always did.
    if (rounds.fromColumn > last && rounds.fromColumn > 0)
        return pastTheEnd("--from", rounds.fromColumn, last);
    return {};
}

std::int64_t columnStartSample(std::int64_t column, int sampleRate, int tempo) {
    return static_cast<std::int64_t>(
        std::ceil(static_cast<double>(column) * 60.0 * sampleRate / tempo));
}

std::int64_t roundSamples(const ProjectSettings& settings, const ExportRounds& rounds,
                          int arrangementColumns) {
    const int rate = outputSampleRate(settings);
    const int tempo = effectiveTempo(settings);
    return columnStartSample(rounds.endColumn(arrangementColumns), rate, tempo) -
           columnStartSample(rounds.fromColumn, rate, tempo);
}

}  // namespace lantrel
