#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace lantrel {

struct ProjectSettings;

// How much of the arrangement an export writes, and how often: the columns `fromColumn` ..
// `toColumn` (both included; no `toColumn`: up to the arrangement's last column) as one round,
// `loops` rounds one after another, the last one fading out over `fadeSeconds`. The default
// is the arrangement once, unfaded: the export as it always was. Like the MP4 choices these
// belong to a run, never to the project file.
struct ExportRounds {
    static constexpr int kMaxLoops = 99;
    static constexpr double kMaxFadeSeconds = 60.0;

    int loops = 1;
    double fadeSeconds = 0.0;
    int fromColumn = 0;
    std::optional<int> toColumn{};

    bool operator==(const ExportRounds&) const = default;
    // The column after the round's last: the arrangement's end unless `toColumn` says less.
    int endColumn(int arrangementColumns) const {
        return toColumn ? *toColumn + 1 : arrangementColumns;
    }
};

// What is wrong with the rounds whatever the arrangement, in a sentence naming the option
// (--loops, --fade, --from, --to), or an empty text.
std::string exportRoundsProblem(const ExportRounds& rounds);
// The same, and what is wrong with the columns for an arrangement of `arrangementColumns`.
std::string exportRoundsProblem(const ExportRounds& rounds, int arrangementColumns);

// The first sample of a column at a sample rate and tempo: ceil(column * 60 * rate / tempo).
std::int64_t columnStartSample(std::int64_t column, int sampleRate, int tempo);

// The samples of one round at the project's sample rate and tempo, the song part of the
// export's sound without its silent second before and its ringing second after.
std::int64_t roundSamples(const ProjectSettings& settings, const ExportRounds& rounds,
                          int arrangementColumns);

}  // namespace lantrel
