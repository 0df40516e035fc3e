#include <benchmark/benchmark.h>

#include "audio/timeline.h"
#include "model/project.h"

namespace lantrel {
namespace {

// Placeholder until the mixer figures are measured; keeps the executable linking.
void BM_EmptyTimeline(benchmark::State& state) {
    const Project project;
    const std::array<SampleSet, 3> sets{};
    for (auto _ : state) {
        Timeline timeline;
        timeline.buildTimeline(project, project.settingsUnlocked(), sets);
        timeline.finishTimeline();
        benchmark::DoNotOptimize(timeline.songLength());
    }
}
BENCHMARK(BM_EmptyTimeline);

}  // namespace
}  // namespace lantrel
