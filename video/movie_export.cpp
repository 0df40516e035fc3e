#include "movie_export.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <new>
#include <thread>

#include "audio/audio_writer.h"
#include "audio/wav_file_reader.h"
#include "avi_reader.h"
#include "base/atomic_file.h"
#include "base/output_name.h"
#include "frame_context.h"
#include "model/auto_reset_event.h"
#include "model/post_target.h"
#include "model/project.h"

namespace lantrel {

namespace {

using Clock = std::chrono::steady_clock;

bool cancelled(const MovieExportJob& job) {
    return job.cancel && job.cancel->poll();
}

void post(const MovieExportJob& job, std::uint32_t message, std::int64_t wParam,
          std::int64_t lParam) {
    if (job.target)
        job.target->post(message, static_cast<std::uintptr_t>(wParam),
                         static_cast<std::intptr_t>(lParam));
}

// The 32-bit picture as a video frame: 24-bit blue-green-red rows, bottom row first. A 32-bit
// pixel lies in memory as blue, green, red, alpha, so each one gives its first three bytes.
void toVideoFrame(const QImage& picture, std::vector<std::byte>& frame) {
    const auto width = static_cast<std::size_t>(picture.width());
    for (int y = 0; y < picture.height(); ++y) {
        const auto* source = reinterpret_cast<const std::byte*>(picture.constScanLine(y));
        std::byte* row =
            frame.data() + static_cast<std::size_t>(picture.height() - 1 - y) * width * 3;
        for (std::size_t x = 0; x < width; ++x)
            std::memcpy(row + 3 * x, source + 4 * x, 3);
    }
}

// Draws pictures of the score screen as video frames, with its own sprites.
class FrameMaker {
  public:
    explicit FrameMaker(const MovieExportJob& job)
        : context_(job.resourceFolders), picture_(makeScreenImage()), frame_(kScreenFrameBytes) {
        context_.attach(*job.project);
    }
    std::span<const std::byte> at(std::int64_t position) {
        RenderFrame(context_.prepare(&picture_, static_cast<int>(position)));
        toVideoFrame(picture_, frame_);
        return frame_;
    }

  private:
    FrameContext context_;
    QImage picture_;
    std::vector<std::byte> frame_;
};

}  // namespace

std::filesystem::path movieFolder(const ProjectSettings& settings) {
    std::string folder = settings.outputFolder;
    if (!folder.empty() && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    return folder.empty() && !settings.outputFolder.empty() ? "/" : folder;
}

MoviePaths moviePaths(const ProjectSettings& settings) {
    const std::filesystem::path base = movieFolder(settings);
    const std::string& name = settings.fileName;
    return {base / (name + ".avi"), base / (name + "_tmp.avi"), base / (name + ".wav"),
            base / (name + ".avi")};
}

std::string outputNameProblem(const ProjectSettings& settings) {
    if (settings.outputFolder.find('\0') != std::string::npos)
        return "the output folder '" + printableText(settings.outputFolder) +
               "' holds a NUL byte; no file was written";
    if (!isSafeOutputFileName(settings.fileName))
        return "the file name '" + printableText(settings.fileName) +
               "' cannot name an output file (it is empty, or holds a path separator or a "
               "control character); no file was written";
    return {};
}

std::int64_t VideoTiming::framePosition(std::int64_t g) const {
    return static_cast<std::int64_t>(2.0 * static_cast<double>(g) * tempo / 60.0 / fps);
}

VideoTiming videoTiming(const Project& project, const ProjectSettings& settings) {
    VideoTiming timing{};
    timing.tempo = effectiveTempo(settings);
    // Taken as stored, as the frame arithmetic has it; only a rate that would divide by zero
    // (a damaged project) is raised to one frame a second.
    timing.fps = std::max(settings.fps, 1);
    timing.columns = std::max(project.columnCount(-1), 1);
    timing.songFrames = static_cast<std::int64_t>(
        timing.fps * (static_cast<double>(timing.columns) / timing.tempo * 60.0));
    return timing;
}

int writeExportVideo(const MovieExportJob& job, const std::filesystem::path& path,
                     std::string& error) {
    const VideoTiming timing = videoTiming(*job.project, job.settings);
    FrameMaker frames(job);
    AviWriter writer(job.aviOptions);
    bool ok = writer.create(path) &&
              writer.addStream(scoreVideoStream(static_cast<std::uint32_t>(timing.fps))) >= 0;
    bool stopped = false;
    // A stored frame rate may be high, so a second of one picture is polled for a cancel too.
    auto writeRepeated = [&](std::int64_t position) {
        const auto frame = frames.at(position);
        for (int i = 0; ok && !stopped && i < timing.fps; ++i) {
            stopped = i % 50 == 49 && cancelled(job);
            ok = stopped || writer.write(0, frame);
        }
    };
    writeRepeated(-1);  // the lead-in picture, for one second
    for (std::int64_t g = 0; ok && !stopped && g < timing.songFrames; ++g) {
        if (g % 10 == 0) post(job, kMessageVideoProgress, timing.framePosition(g), g);
        if (g % 50 == 0 && cancelled(job)) {
            stopped = true;
            break;
        }
        ok = writer.write(0, frames.at(timing.framePosition(g)));
    }
    if (ok && !stopped) {
        writeRepeated(2 * timing.columns - 1);  // the end picture, for one second
        if (ok && !stopped) post(job, kMessageVideoProgress, 2 * timing.columns, timing.songFrames);
    }
    // Closing puts the file in place; a stopped or failed writer leaves nothing of this run.
    if (stopped) return kExportCancelled;
    if (writer.close() && ok) return kExportSuccess;
    error = writer.error().empty() ? "cannot write " + path.string() : writer.error();
    return kExportFailure;
}

int joinMovie(const MovieExportJob& job, const MoviePaths& paths, std::string& error) {
    post(job, kMessageJoinProgress, 0, 0);
    const VideoTiming timing = videoTiming(*job.project, job.settings);
    std::string problem;
    const auto video = AviReader::open(paths.temporaryVideo, problem);
    WavFileReader audio;
    AviWriter writer(job.aviOptions);
    bool ok = video && video->streamCount() > 0 && audio.open(paths.audio);
    if (!ok)
        problem = video ? "cannot read " + paths.audio.string()
                        : "cannot read " + paths.temporaryVideo.string() + ": " + problem;
    ok = ok && writer.create(paths.joined) && writer.addStream(video->stream(0)) >= 0 &&
         writer.addStream(pcmAudioStream(pcmFormatChunk(audio.format()))) >= 0;
    const std::int64_t videoLength = ok ? video->length(0) : 0;
    const std::int64_t audioLength = ok ? audio.frames() : 0;
    const std::int64_t rate = std::max(audio.format().samplesPerSec, 1);
    std::vector<std::byte> frame;
    std::vector<std::uint8_t> samples;
    bool stopped = false;
    for (std::int64_t v = 0, a = 0; ok && (v < videoLength || a < audioLength);) {
        for (const std::int64_t end = std::min<std::int64_t>(v + timing.fps, videoLength);
             ok && v < end; ++v) {
            const auto size = video->rangeSize(0, v, 1);
            frame.resize(size.value_or(0));
            ok = size && video->read(0, v, 1, frame) && writer.write(0, frame);
        }
        if (ok && a < audioLength) {
            const std::int64_t count = std::min(rate, audioLength - a);
            ok =
                audio.read(a, count, samples) && writer.write(1, std::as_bytes(std::span(samples)));
            a += count;
        }
        post(job, kMessageJoinProgress, timing.framePosition(v), v);
        if (ok && cancelled(job)) {
            stopped = true;
            break;
        }
    }
    // The joined file takes its name only when it is closed whole; a stopped or failed join
    // leaves nothing of its own, and an older movie of that name stays.
    if (stopped) {
        for (const auto& path : {paths.temporaryVideo, paths.audio})
            removeRegularFile(path);
        return kExportCancelled;
    }
    ok = writer.close() && ok;
    if (!ok) {
        error = !problem.empty()         ? problem
                : writer.error().empty() ? "cannot write " + paths.joined.string()
                                         : writer.error();
        return kExportFailure;
    }
    removeRegularFile(paths.temporaryVideo);
    removeRegularFile(paths.audio);
    return kExportSuccess;
}

namespace {

int runPhases(const MovieExportJob& job, std::string& error) {
    error = outputNameProblem(job.settings);
    if (!error.empty()) return kExportFailure;
    const MoviePaths paths = moviePaths(job.settings);
    int result = kExportSuccess;
    if (job.settings.videoOn)
        result =
            writeExportVideo(job, job.settings.join ? paths.temporaryVideo : paths.video, error);
    if (result == kExportSuccess && job.settings.audioOn) {
        class NoTarget : public PostTarget {
            void post(std::uint32_t, std::uintptr_t, std::intptr_t) override {}
        } none;
        AudioWriterOptions options;
        options.resourceFolders = job.resourceFolders;
        result = writeExportAudio(*job.project, job.settings, paths.audio,
                                  job.target ? *job.target : none, error, options);
    }
    if (result == kExportSuccess && job.settings.join) result = joinMovie(job, paths, error);
    return result;
}

}  // namespace

int ExportMovie(const MovieExportJob& job, std::string& error) {
    const auto started = Clock::now();
    int result = kExportFailure;
    // The worker has no one to throw to: whatever goes wrong becomes a failed run, so that the
    // end message always comes. The writers' files are given up on the way out.
    try {
        result = runPhases(job, error);
    } catch (const std::bad_alloc&) {
        error = "not enough memory for the export";
    } catch (const std::exception& problem) {
        error = std::string("the export failed: ") + problem.what();
    }
    if (Clock::now() - started < job.minimumDuration)
        std::this_thread::sleep_for(job.minimumDuration);
    post(job, kMessageExportEnded, result, 0);
    return result;
}

}  // namespace lantrel
