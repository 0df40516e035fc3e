#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

#include "audio_stream_encoder.h"
#include "encoded_file.h"
#include "movie_sink.h"
#include "mp4_options.h"
#include "screen_converter.h"

namespace lantrel {

// Writes an MP4 movie of score-screen pictures and their sound in one pass: H.264 (High
// profile, 4:2:0, tagged BT.709 limited range) by libx264, and AAC-LC by libavcodec's own
// encoder. Nothing of the song is kept but the encoders' look-ahead and the muxer's sample
// tables (about 0.3 MB a minute, written as the index at the end). The first sound sample plays at
// time 0; the encoder's priming samples are hidden by the container's edit list. finish() moves the
// index in front (faststart), so that the movie plays while it downloads.
//
// The file is written as ".NAME.mp4.XXXXXX" beside the target and renamed over it by finish();
// see SoundSink for what happens on failure and on abandon().
class Mp4Writer final : public MovieSink {
  public:
    // Opens the encoders and the file; null with `error` set when the options are wrong, an
    // encoder cannot be opened or the file cannot be created.
    static std::unique_ptr<Mp4Writer> create(const std::filesystem::path& path,
                                             const Mp4Options& options, std::string& error);
    ~Mp4Writer() override = default;

    // A 512 x 384 picture, shown for 1 / fps seconds after the ones before it.
    bool addFrame(const ScreenPicture& picture) override;
    // Interleaved samples at the options' rate and channels, played after the ones before.
    bool addAudio(std::span<const std::int16_t> interleaved) override;
    bool finish() override;
    void abandon() override { file_.abandon(); }
    const std::string& error() const override { return file_.error(); }

    const MovieGeometry& geometry() const { return converter_.geometry(); }
    std::int64_t framesWritten() const { return frames_; }
    std::int64_t samplesWritten() const { return audio_.samples(); }

  private:
    explicit Mp4Writer(const Mp4Options& options);
    bool open(const std::filesystem::path& path);
    bool openVideo();
    bool allocatePicture();

    Mp4Options options_;
    EncodedFile file_;
    ScreenConverter converter_;
    libav::CodecContext video_;
    libav::Frame picture_;
    int videoStream_ = -1;
    std::int64_t frames_ = 0;
    AudioStreamEncoder audio_;
    bool finished_ = false;
};

}  // namespace lantrel
