#include <benchmark/benchmark.h>

#include "import/embedded_bitmap.h"
#include "support/fake_sequencer.h"
#include "support/temp_dir.h"

namespace lantrel {
namespace {

// The worst case of a search: a 3 MB executable that holds no matching image, so that both
// known offsets fail and the scan checks every "BM" to the end. Besides the "BM"s of random
// filler there is one every kilobyte, and every tenth of those has headers that fit the icon
// picture, so that its whole copy is added up before the byte sum rejects it.
std::string executableWithoutImages() {
    constexpr std::size_t kSize = 3'000'000;
    test::FakeExecutable fake(kSize, 7);
    const std::string nearMiss = test::FakeExecutable(30'000).place(0, 0).build().substr(0, 54);
    for (std::size_t at = 512, count = 0; at + 21'000 < kSize; at += 1'024, ++count)
        fake.put(at, count % 10 == 0 ? nearMiss : std::string("BM"));
    return fake.build();
}

void BM_FindBitmapWithoutMatch(benchmark::State& state) {
    const test::TempDir dir;
    const auto path = dir.write("VeltoSeq.exe", executableWithoutImages());
    const auto rows = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        BufferedReader file(path);
        for (std::size_t row = 0; row < rows; ++row)
            benchmark::DoNotOptimize(findBitmap(file, kEmbeddedBitmaps[row]));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rows * 3'000'000));
}
BENCHMARK(BM_FindBitmapWithoutMatch)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lantrel
