#include "movie_export.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <new>
#include <thread>

#include "audio/audio_writer.h"
#include "audio/export_sound.h"
#include "audio/timeline.h"
#include "audio/wav_file_reader.h"
#include "avi_reader.h"
#include "base/atomic_file.h"
#include "base/output_name.h"
#include "encode/encoder_module.h"
#include "model/auto_reset_event.h"
#include "model/post_target.h"
#include "model/project.h"
#include "screen_image.h"

namespace lantrel {

namespace {

using Clock = std::chrono::steady_clock;

const char* const kLaneSuffixes[] = {"_upper", "_middle", "_lower"};

// The AVI's frames: 24-bit blue-green-red rows, bottom row first, converted from the 32-bit
// picture once for each new one. A 32-bit pixel lies in memory as blue, green, red, alpha,
// so each one gives its first three bytes.
class AviFrames final : public FrameOutput {
  public:
    explicit AviFrames(AviWriter& writer) : writer_(writer), frame_(kScreenFrameBytes) {}
    bool addFrame(const QImage& picture, bool repeated) override {
        if (!repeated) convert(picture);
        return writer_.write(0, frame_);
    }

  private:
    void convert(const QImage& picture) {
        const auto width = static_cast<std::size_t>(picture.width());
        for (int y = 0; y < picture.height(); ++y) {
            const auto* source = reinterpret_cast<const std::byte*>(picture.constScanLine(y));
            std::byte* row =
                frame_.data() + static_cast<std::size_t>(picture.height() - 1 - y) * width * 3;
            for (std::size_t x = 0; x < width; ++x)
                std::memcpy(row + 3 * x, source + 4 * x, 3);
        }
    }

    AviWriter& writer_;
    std::vector<std::byte> frame_;
};

// The MP4's frames, and after each second of them the next second of the sound.
class Mp4Frames final : public FrameOutput {
  public:
    Mp4Frames(MovieSink& movie, ExportSound& sound, int fps)
        : movie_(movie), sound_(sound), fps_(fps) {}
    bool addFrame(const QImage& picture, bool) override {
        if (!movie_.addFrame(screenPictureOf(picture))) return false;
        return ++frames_ % fps_ != 0 || addSecondOfSound();
    }
    // The sound runs a little past the last frame (the video's length is truncated to whole
    // frames), and whatever the frames left of it comes here.
    bool addRestOfSound() {
        while (!sound_.done())
            if (!addSecondOfSound()) return false;
        return true;
    }

  private:
    bool addSecondOfSound() {
        const auto block = sound_.next();
        return block.empty() || movie_.addAudio(block);
    }

    MovieSink& movie_;
    ExportSound& sound_;
    int fps_;
    std::int64_t frames_ = 0;
};

// Where the frame sequence and the audio writer report to: the job's target and cancel event.
class JobProgress final : public FrameProgress, public PostTarget {
  public:
    explicit JobProgress(const MovieExportJob& job) : job_(job) {}
    void reached(std::int64_t position, std::int64_t frame) override {
        job_.post(kMessageVideoProgress, position, frame);
    }
    bool stopRequested() override { return job_.cancelRequested(); }
    void post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
        job_.post(message, static_cast<std::int64_t>(wParam), lParam);
    }

  private:
    const MovieExportJob& job_;
};

}  // namespace

void MovieExportJob::post(std::uint32_t message, std::int64_t wParam, std::int64_t lParam) const {
    if (target)
        target->post(message, static_cast<std::uintptr_t>(wParam),
                     static_cast<std::intptr_t>(lParam));
}

bool MovieExportJob::cancelRequested() const {
    return cancel && cancel->poll();
}

std::filesystem::path movieFolder(const ProjectSettings& settings) {
    std::string folder = settings.outputFolder;
    if (!folder.empty() && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    return folder.empty() && !settings.outputFolder.empty() ? "/" : folder;
}

MoviePaths moviePaths(const ProjectSettings& settings) {
    const std::filesystem::path base = movieFolder(settings);
    const std::string& name = settings.fileName;
    return {base / (name + ".avi"), base / (name + "_tmp.avi"), base / (name + ".wav"),
            base / (name + ".avi"), base / (name + ".mp4")};
}

std::filesystem::path soundPath(const ProjectSettings& settings, const ExtraOutputs& extras,
                                int lane) {
    const std::string suffix = lane >= 0 && lane < kLaneCount ? kLaneSuffixes[lane] : "";
    return movieFolder(settings) / (settings.fileName + suffix + (extras.flac ? ".flac" : ".wav"));
}

std::string extraOutputsProblem(const ProjectSettings& settings, const ExtraOutputs& extras) {
    if (extras.flac && settings.join && !extras.mp4)
        return "a FLAC sound cannot be joined into the AVI; export without the join";
    return extras.mp4 ? mp4OptionsProblem(mp4OptionsFor(settings, extras)) : std::string();
}

Mp4Options mp4OptionsFor(const ProjectSettings& settings, const ExtraOutputs& extras) {
    Mp4Options options = extras.mp4Options;
    options.fps = std::max(settings.fps, 1);  // as videoTiming takes it
    options.sampleRate = outputSampleRate(settings);
    options.channels = settings.stereo ? 2 : 1;
    options.title = settings.fileName;  // the movie's name, as the project gives it
    return options;
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

int writeExportVideo(const MovieExportJob& job, const std::filesystem::path& path,
                     std::string& error) {
    const VideoTiming timing = videoTiming(*job.project, job.settings, job.extras.rounds);
    AviWriter writer(job.aviOptions);
    int result = kExportFailure;
    if (writer.create(path) &&
        writer.addStream(scoreVideoStream(static_cast<std::uint32_t>(timing.fps))) >= 0) {
        AviFrames frames(writer);
        JobProgress progress(job);
        result = writeFrameSequence(*job.project, job.resourceFolders, timing, frames, progress);
    }
    // Closing puts the file in place; a stopped or failed writer leaves nothing of this run.
    if (result == kExportCancelled) return kExportCancelled;
    if (writer.close() && result == kExportSuccess) return kExportSuccess;
    error = writer.error().empty() ? "cannot write " + path.string() : writer.error();
    return kExportFailure;
}

int joinMovie(const MovieExportJob& job, const MoviePaths& paths, std::string& error) {
    job.post(kMessageJoinProgress, 0, 0);
    const VideoTiming timing = videoTiming(*job.project, job.settings, job.extras.rounds);
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
        job.post(kMessageJoinProgress, timing.positionOfFrame(v), v);
        if (ok && job.cancelRequested()) {
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

std::unique_ptr<SoundSink> openFlac(const std::filesystem::path& path, const SoundFormat& format,
                                    std::string& error) {
    const EncoderModule* encoders = encoderModule(error);
    return encoders ? encoders->openFlac(path, format, error) : nullptr;
}

int writeSound(const MovieExportJob& job, int lane, std::string& error) {
    JobProgress progress(job);
    AudioWriterOptions options;
    options.resourceFolders = job.resourceFolders;
    options.lane = lane;
    options.rounds = job.extras.rounds;
    if (job.extras.flac) options.openFile = openFlac;
    return writeExportAudio(*job.project, job.settings, soundPath(job.settings, job.extras, lane),
                            progress, error, options);
}

// The MP4 in one pass: the frames the AVI would hold and the samples the WAV would hold,
// encoded as they are drawn and mixed, a second of each in turn, so that nothing of the song
// piles up in memory. The writer keeps the file under a temporary name until it is finished,
// so a failure or a cancel leaves nothing of its own and an older file of that name as it was.
int writeExportMp4(const MovieExportJob& job, const std::filesystem::path& path,
                   std::string& error) {
    ExportSound sound;
    if (!sound.prepare(*job.project, job.settings, job.resourceFolders, Timeline::kAllLanes, error,
                       job.extras.rounds))
        return kExportFailure;
    const EncoderModule* encoders = encoderModule(error);
    if (!encoders) return kExportFailure;
    const Mp4Options options = mp4OptionsFor(job.settings, job.extras);
    const auto movie = encoders->openMp4(path, options, error);
    if (!movie) return kExportFailure;
    Mp4Frames frames(*movie, sound, options.fps);
    JobProgress progress(job);
    const int result =
        writeFrameSequence(*job.project, job.resourceFolders,
                           videoTiming(*job.project, job.settings, job.extras.rounds), frames, progress);
    if (result == kExportSuccess && frames.addRestOfSound() && movie->finish())
        return kExportSuccess;
    if (result != kExportCancelled) error = movie->error();
    movie->abandon();
    return result == kExportCancelled ? kExportCancelled : kExportFailure;
}

// The project's own outputs: the AVI video, the sound, the join.
int writeAviPhases(const MovieExportJob& job, std::string& error) {
    const MoviePaths paths = moviePaths(job.settings);
    int result = kExportSuccess;
    if (job.settings.videoOn)
        result =
            writeExportVideo(job, job.settings.join ? paths.temporaryVideo : paths.video, error);
    if (result == kExportSuccess && job.settings.audioOn)
        result = writeSound(job, Timeline::kAllLanes, error);
    if (result == kExportSuccess && job.settings.join) result = joinMovie(job, paths, error);
    return result;
}

int runPhases(const MovieExportJob& job, std::string& error) {
    error = outputNameProblem(job.settings);
    if (error.empty()) error = extraOutputsProblem(job.settings, job.extras);
    if (!error.empty()) return kExportFailure;
    int result = job.extras.mp4 ? writeExportMp4(job, moviePaths(job.settings).mp4, error)
                                : writeAviPhases(job, error);
    // Like the sound, the stems are not cancelled: each is a few seconds of mixing at most.
    for (int lane = 0; job.extras.stems && result == kExportSuccess && lane < kLaneCount; ++lane)
        result = writeSound(job, lane, error);
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
    job.post(kMessageExportEnded, result, 0);
    return result;
}

}  // namespace lantrel
