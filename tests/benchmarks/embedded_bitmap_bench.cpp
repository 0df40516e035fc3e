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

// What a hostile file costs an import, which looks for all four images: 20 MB of false
// candidates, either "BM" over and over (0) or, every 64 bytes, headers that fit the icon
// picture so that each candidate is summed before it is rejected (1); and a sparse file of
// 2 GB that holds nothing at all (2).
std::filesystem::path hostileExecutable(const test::TempDir& dir, int kind) {
    const auto path = dir / "VeltoSeq.exe";
    if (kind == 2) {
        dir.write("VeltoSeq.exe", "");
        std::filesystem::resize_file(path, std::uint64_t{2} << 30);
        return path;
    }
    constexpr std::size_t kSize = 20'000'000;
    std::string bytes;
    bytes.reserve(kSize);
    if (kind == 0) {
        while (bytes.size() < kSize)
            bytes += "BM";
    } else {
        std::string nearMiss = test::FakeExecutable(30'000).place(0, 0).build().substr(0, 64);
        nearMiss[60] = 'x';  // never the real image
        while (bytes.size() < kSize)
            bytes += nearMiss;
    }
    return dir.write("VeltoSeq.exe", bytes);
}

void BM_FindAllBitmapsInHostileFile(benchmark::State& state) {
    const test::TempDir dir;
    const auto path = hostileExecutable(dir, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        BufferedReader file(path);
        benchmark::DoNotOptimize(findBitmaps(file, kEmbeddedBitmaps));
    }
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * std::filesystem::file_size(path)));
}
BENCHMARK(BM_FindAllBitmapsInHostileFile)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lantrel
