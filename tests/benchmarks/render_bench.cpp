// The cost of drawing one dense score-screen frame.
#include <benchmark/benchmark.h>

#include "base/resource_folder.h"
#include "model/project.h"
#include "video/frame_context.h"

namespace lantrel {
namespace {

void BM_RenderDenseFrame(benchmark::State& state) {
    Project project;
    for (int lane = 0; lane < 3; ++lane)
        for (int column = 0; column < 200; ++column)
            for (int slot = 0; slot < 3; ++slot)
                project.lane(lane).putNote(
                    column, slot, Note{1 + (column + slot) % 15, 1 + (column * 5 + slot * 4) % 13});
    ProjectSettings settings = project.settings();
    settings.lanes[1].instruments[0].pitchFactor = 2.0;  // a CHEAT label too
    project.setSettings(settings);
    FrameContext context(resourceFolders());
    context.attach(project);
    QImage picture = makeScreenImage();
    int position = 40;
    for (auto _ : state) {
        RenderFrame(context.prepare(&picture, position));
        position = position == 300 ? 40 : position + 1;
        benchmark::DoNotOptimize(picture.constBits());
    }
    state.counters["frames_per_s"] =
        benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_RenderDenseFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lantrel
