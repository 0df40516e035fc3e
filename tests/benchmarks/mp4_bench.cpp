// The MP4 export against ffmpeg: a 3-minute arrangement at 10 frames a second, scale 2 and
// the default quality, written by Mp4Writer straight from the renderer and the mixer, next to
// the ffmpeg program transcoding the joined AVI of the same song with the same encoder
// settings (wall clock and processor time, since the machine is shared); the MP4 export's
// peak memory for a 1-minute and a 10-minute song, and on the 16:9 canvas; and the colour
// conversion alone.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>

#include "base/resource_folder.h"
#include "audio/sample_set.h"
#include "audio/timeline.h"
#include "model/project.h"
#include "support/temp_dir.h"
#include "video/frame_context.h"
#include "video/libav_log.h"
#include "video/movie_export.h"
#include "video/mp4_writer.h"
#include "video/screen_converter.h"
#include "video/screen_image.h"

namespace lantrel {
namespace {

using Clock = std::chrono::steady_clock;

// Two notes a column on every lane for `minutes` at tempo 120, as the AVI export's benchmark.
void arrange(Project& project, int minutes) {
    for (int lane = 0; lane < 3; ++lane)
        for (int column = 0; column < minutes * 120; ++column)
            for (int slot = 0; slot < 2; ++slot)
                project.lane(lane).putNote(
                    column, slot, Note{1 + (column + lane) % 15, 1 + (column * 3 + slot * 5) % 13});
}

// The usual resource folders, then the one the build wrote.
std::vector<std::filesystem::path> exportFolders() {
    auto folders = resourceFolders();
    folders.emplace_back(LANTREL_RSRC_DIR);
    return folders;
}

ProjectSettings benchSettings(const Project& project) {
    ProjectSettings settings = project.settings();
    settings.tempo = 120;
    return settings;
}

// The export run as it will drive a MovieSink: the AVI's frame sequence (a second of the
// lead-in picture, the song frames, a second of the end picture) and the WAV's samples (a
// second of silence, the song, a second of its decay), handed over a second of each in turn.
class Mp4Export {
  public:
    Mp4Export(const Project& project, const ProjectSettings& settings)
        : settings_(settings),
          timing_(videoTiming(project, settings)),
          frames_(folders_),
          picture_(makeScreenImage()),
          sounds_(std::make_unique<std::array<SampleSet, 3>>()) {
        frames_.attach(project);
        for (std::size_t lane = 0; lane < sounds_->size(); ++lane)
            (*sounds_)[lane] = loadLaneSampleSet(settings.lanes[lane], folders_);
        timeline_.buildTimeline(project, settings, *sounds_);
        timeline_.finishTimeline();
    }

    std::string run(const std::filesystem::path& path, const Mp4Options& base) {
        Mp4Options options = base;
        options.fps = timing_.fps;
        options.sampleRate = timeline_.sampleRate();
        options.channels = settings_.stereo ? 2 : 1;
        std::string error;
        writer_ = Mp4Writer::create(path, options, error);
        if (!writer_) return error;
        audioNext_ = -timeline_.sampleRate();
        const std::int64_t frames = timing_.songFrames + 2 * timing_.fps;
        for (std::int64_t v = 0; v < frames; v += timing_.fps)
            if (!addSecondOfFrames(v, std::min<std::int64_t>(v + timing_.fps, frames)) ||
                !addSecondOfSound())
                return writer_->error();
        while (audioNext_ < timeline_.songLength() + timeline_.sampleRate())
            if (!addSecondOfSound()) return writer_->error();
        return writer_->finish() ? std::string() : writer_->error();
    }

  private:
    std::int64_t positionOf(std::int64_t frame) const {
        if (frame < timing_.fps) return -1;
        if (frame >= timing_.fps + timing_.songFrames) return 2 * timing_.columns - 1;
        return timing_.framePosition(frame - timing_.fps);
    }
    bool addSecondOfFrames(std::int64_t first, std::int64_t end) {
        for (std::int64_t v = first; v < end; ++v) {
            const std::int64_t position = positionOf(v);
            if (position != drawn_) {
                RenderFrame(frames_.prepare(&picture_, static_cast<int>(position)));
                drawn_ = position;
            }
            if (!writer_->addFrame(screenPictureOf(picture_))) return false;
        }
        return true;
    }
    bool addSecondOfSound() {
        const std::int64_t end = timeline_.songLength() + timeline_.sampleRate();
        const std::int64_t count = std::min<std::int64_t>(timeline_.sampleRate(), end - audioNext_);
        if (count <= 0) return true;
        const int channels = settings_.stereo ? 2 : 1;
        block_.assign(static_cast<std::size_t>(count * channels), 0);
        if (audioNext_ >= 0 && settings_.stereo)
            timeline_.renderStereo(block_.data(), audioNext_, count);
        else if (audioNext_ >= 0)
            timeline_.renderMono(block_.data(), audioNext_, count);
        audioNext_ += count;
        return writer_->addAudio(block_);
    }

    std::vector<std::filesystem::path> folders_ = exportFolders();
    ProjectSettings settings_;
    VideoTiming timing_;
    FrameContext frames_;
    QImage picture_;
    std::int64_t drawn_ = -2;
    std::unique_ptr<std::array<SampleSet, 3>> sounds_;
    Timeline timeline_;
    std::unique_ptr<Mp4Writer> writer_;
    std::int64_t audioNext_ = 0;
    std::vector<std::int16_t> block_;
};

// Wall-clock seconds and the processor seconds (user and system, every thread) that `who`
// spent meanwhile: RUSAGE_SELF for work in this process, RUSAGE_CHILDREN for a program it
// runs. On a shared machine the processor time scatters far less than the wall clock.
struct Cost {
    double seconds = 0;
    double cpuSeconds = 0;
};
double cpuSeconds(int who) {
    rusage usage{};
    ::getrusage(who, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}
Cost costOf(int who, const std::function<void()>& work) {
    const double cpuBefore = cpuSeconds(who);
    const auto started = Clock::now();
    work();
    return {std::chrono::duration<double>(Clock::now() - started).count(),
            cpuSeconds(who) - cpuBefore};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The joined AVI of the song, as the AVI export writes it.
std::filesystem::path writeJoinedAvi(const Project& project, const test::TempDir& out) {
    MovieExportJob job;
    job.project = &project;
    job.settings = benchSettings(project);
    job.settings.join = true;
    job.settings.outputFolder = out.path().string();
    job.settings.fileName = "joined";
    job.resourceFolders = exportFolders();
    job.minimumDuration = std::chrono::milliseconds(0);
    std::string error;
    ExportMovie(job, error);
    return out / "joined.avi";
}

std::string ffmpegTranscode(const std::filesystem::path& avi, const std::filesystem::path& mp4,
                            const Mp4Options& options) {
    return "ffmpeg -v error -y -i '" + avi.string() +
           "' -vf scale=iw*2:ih*2:flags=neighbor -c:v libx264 -preset " + options.preset +
           " -crf " + std::to_string(options.crf) +
           " -pix_fmt yuv420p -c:a aac -b:a 192k -movflags +faststart '" + mp4.string() + "'";
}

void BM_Mp4ExportThreeMinutesVersusFfmpeg(benchmark::State& state) {
    showOnlyLibavErrors();
    Project project;
    arrange(project, 3);
    test::TempDir out;
    const auto avi = writeJoinedAvi(project, out);
    const Mp4Options options;  // the defaults: scale 2
    std::vector<double> ours, theirs, oursCpu, theirsCpu;
    std::string error;
    for (auto _ : state) {
        for (int round = 0; round < 3; ++round) {
            Mp4Export exporter(project, benchSettings(project));
            const Cost mine =
                costOf(RUSAGE_SELF, [&] { error = exporter.run(out / "ours.mp4", options); });
            if (!error.empty()) return state.SkipWithError(error.c_str());
            const std::string command = ffmpegTranscode(avi, out / "ffmpeg.mp4", options);
            const Cost ffmpeg = costOf(RUSAGE_CHILDREN, [&] {
                if (std::system(command.c_str()) != 0) state.SkipWithError("ffmpeg failed");
            });
            ours.push_back(mine.seconds);
            oursCpu.push_back(mine.cpuSeconds);
            theirs.push_back(ffmpeg.seconds);
            theirsCpu.push_back(ffmpeg.cpuSeconds);
        }
    }
    state.counters["mp4_export_s"] = median(ours);
    state.counters["ffmpeg_s"] = median(theirs);
    state.counters["ratio"] = median(ours) / median(theirs);
    state.counters["mp4_export_cpu_s"] = median(oursCpu);
    state.counters["ffmpeg_cpu_s"] = median(theirsCpu);
    state.counters["cpu_ratio"] = median(oursCpu) / median(theirsCpu);
    state.counters["mp4_MB"] =
        static_cast<double>(std::filesystem::file_size(out / "ours.mp4")) / 1e6;
    state.counters["ffmpeg_MB"] =
        static_cast<double>(std::filesystem::file_size(out / "ffmpeg.mp4")) / 1e6;
}
BENCHMARK(BM_Mp4ExportThreeMinutesVersusFfmpeg)->Iterations(1)->Unit(benchmark::kSecond);

void BM_Mp4ExportPeakMemory(benchmark::State& state) {
    showOnlyLibavErrors();
    const int minutes = static_cast<int>(state.range(0));
    Mp4Options options;
    options.pad16x9 = state.range(1) != 0;
    double peak = 0;
    for (auto _ : state) {
        test::TempDir out;
        const pid_t child = ::fork();
        if (child == 0) {
            Project project;
            arrange(project, minutes);
            Mp4Export exporter(project, benchSettings(project));
            ::_exit(exporter.run(out / "bench.mp4", options).empty() ? 0 : 1);
        }
        int status = 0;
        rusage usage{};
        ::wait4(child, &status, 0, &usage);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            state.SkipWithError("the export failed");
        peak = static_cast<double>(usage.ru_maxrss) / 1024.0;
    }
    state.counters["peak_RSS_MB"] = peak;
}
BENCHMARK(BM_Mp4ExportPeakMemory)
    ->ArgNames({"minutes", "pad16x9"})
    ->Args({1, 0})
    ->Args({10, 0})
    ->Args({1, 1})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

// Every row differs from the last picture's (the worst case), or none does (a still screen).
void BM_ScreenConverterFrame(benchmark::State& state) {
    const MovieGeometry geometry = movieGeometry(static_cast<int>(state.range(0)), false);
    const bool still = state.range(1) != 0;
    ScreenConverter converter(geometry);
    std::array<std::vector<std::uint32_t>, 2> pictures;
    for (std::size_t k = 0; k < pictures.size(); ++k) {
        pictures[k].resize(512 * 384);
        for (std::size_t i = 0; i < pictures[k].size(); ++i)
            pictures[k][i] = 0xFF000000u | static_cast<std::uint32_t>((i + k) * 2654435761u >> 8);
    }
    std::vector<std::uint8_t> luma(static_cast<std::size_t>(geometry.width * geometry.height));
    std::vector<std::uint8_t> cb(luma.size() / 4), cr(luma.size() / 4);
    const YuvPlanes planes{{luma.data(), cb.data(), cr.data()},
                           {geometry.width, geometry.width / 2, geometry.width / 2}};
    std::size_t next = 0;
    for (auto _ : state) {
        const auto& pixels = pictures[still ? 0 : next++ % 2];
        converter.convert({reinterpret_cast<const std::byte*>(pixels.data()), 512 * 4}, planes);
        benchmark::DoNotOptimize(luma.data());
    }
    state.counters["frames_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ScreenConverterFrame)
    ->ArgNames({"scale", "still"})
    ->ArgsProduct({{1, 2, 3}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lantrel
