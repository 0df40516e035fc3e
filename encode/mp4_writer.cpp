#include "mp4_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
}

#include <algorithm>
#include <thread>

namespace lantrel {

namespace {

constexpr std::int64_t kStereoBitRate = 192'000;
constexpr std::int64_t kMonoBitRate = 128'000;

std::string describeVideoEncoder(const Mp4Options& options) {
    return "the H.264 encoder libx264 (preset \"" + options.preset + "\", crf " +
           std::to_string(options.crf) + ")";
}

// x264's own choice is one and a half frame threads a core, as the ffmpeg program leaves it.
// Each thread holds frames of its own (about 3 MB at 1024 x 768), and past four threads
// pictures this small gain little speed, so a machine with many cores keeps to four.
int videoThreads() {
    constexpr unsigned kMostThreads = 4;
    return static_cast<int>(
        std::clamp(std::thread::hardware_concurrency() * 3 / 2, 1u, kMostThreads));
}

YuvPlanes planesOf(const AVFrame& frame) {
    YuvPlanes planes;
    for (std::size_t plane = 0; plane < planes.data.size(); ++plane) {
        planes.data[plane] = frame.data[plane];
        planes.stride[plane] = frame.linesize[plane];
    }
    return planes;
}

// BT.709, the matrix ScreenConverter uses, in limited range; without these tags players
// guess, and many guess BT.601 for pictures this small, which shifts the sprites' colours.
void tagColours(AVCodecContext& video) {
    video.color_primaries = AVCOL_PRI_BT709;
    video.color_trc = AVCOL_TRC_BT709;
    video.colorspace = AVCOL_SPC_BT709;
    video.color_range = AVCOL_RANGE_MPEG;
}

}  // namespace

std::unique_ptr<Mp4Writer> Mp4Writer::create(const std::filesystem::path& path,
                                             const Mp4Options& options, std::string& error) {
    if (std::string problem = mp4OptionsProblem(options); !problem.empty()) {
        error = std::move(problem);
        return nullptr;
    }
    std::unique_ptr<Mp4Writer> writer(new Mp4Writer(options));
    if (!writer->open(path)) {
        error = writer->error();
        return nullptr;
    }
    return writer;
}

Mp4Writer::Mp4Writer(const Mp4Options& options)
    : options_(options), converter_(movieGeometry(options.scale, options.pad16x9)) {}

bool Mp4Writer::open(const std::filesystem::path& path) {
    const AudioEncoding sound{"aac", options_.sampleRate, options_.channels,
                              options_.channels == 2 ? kStereoBitRate : kMonoBitRate};
    libav::Options muxing;
    muxing.set("movflags", "+faststart");
    if (!file_.create(path, "mp4")) return false;
    file_.setTitle(options_.title);
    return openVideo() && audio_.open(file_, sound) && allocatePicture() && file_.begin(muxing);
}

bool Mp4Writer::openVideo() {
    const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
    if (!codec) return file_.fail("libavcodec has no libx264 encoder for H.264");
    video_.reset(avcodec_alloc_context3(codec));
    if (!video_) return file_.fail("out of memory");
    AVCodecContext& video = *video_;
    video.width = geometry().width;
    video.height = geometry().height;
    video.pix_fmt = AV_PIX_FMT_YUV420P;
    video.time_base = {1, options_.fps};
    video.framerate = {options_.fps, 1};
    video.sample_aspect_ratio = {1, 1};
    tagColours(video);
    video.thread_count = videoThreads();
    // A keyframe at least every two seconds, so that a player or an upload site seeks to
    // within two seconds of where it is asked to (x264's own 250 frames are 25 s at 10 fps).
    video.gop_size = 2 * options_.fps;
    video.keyint_min = options_.fps;
    if (file_.wantsGlobalHeader()) video.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    libav::Options settings;
    settings.set("preset", options_.preset);
    settings.set("crf", std::to_string(options_.crf));
    settings.set("profile", "high");
    // x264's threaded look-ahead keeps frames of its own on top of the frame threads' (about
    // 20 MB at 1024 x 768); without it the file comes out byte for byte the same, as fast.
    settings.set("x264-params", "sync-lookahead=0");
    const int status = avcodec_open2(&video, codec, settings.address());
    if (status < 0)
        return file_.fail("cannot open " + describeVideoEncoder(options_) + ": " +
                          libav::errorText(status));
    videoStream_ = file_.addStream(video);
    return videoStream_ >= 0;
}

bool Mp4Writer::allocatePicture() {
    picture_.reset(av_frame_alloc());
    if (!picture_) return file_.fail("out of memory");
    picture_->format = AV_PIX_FMT_YUV420P;
    picture_->width = geometry().width;
    picture_->height = geometry().height;
    const int status = av_frame_get_buffer(picture_.get(), 0);
    return status >= 0 || file_.fail("cannot make a video frame: " + libav::errorText(status));
}

bool Mp4Writer::addFrame(const ScreenPicture& picture) {
    if (file_.failed()) return false;
    if (!picture.bits || picture.width != ScreenPicture::kWidth ||
        picture.height != ScreenPicture::kHeight)
        return file_.fail("a movie frame must be a 512 x 384 picture");
    // The encoder may still hold on to the frame it was given last.
    if (av_frame_make_writable(picture_.get()) < 0) return file_.fail("out of memory");
    converter_.convert(picture, planesOf(*picture_));
    picture_->pts = frames_++;
    return file_.encode(*video_, videoStream_, picture_.get(), 1);
}

bool Mp4Writer::addAudio(std::span<const std::int16_t> interleaved) {
    return audio_.add(interleaved);
}

bool Mp4Writer::finish() {
    if (finished_ || file_.failed()) return finished_;
    finished_ =
        file_.encode(*video_, videoStream_, nullptr, 1) && audio_.finish() && file_.finish();
    return finished_;
}

}  // namespace lantrel
