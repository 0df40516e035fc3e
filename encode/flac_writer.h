#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

#include "audio_stream_encoder.h"
#include "encoded_file.h"
#include "movie_sink.h"

namespace lantrel {

struct FlacOptions {
    int sampleRate = 44100;
    int channels = 2;  // 1 or 2
};

// Writes the export's sound as a 16-bit FLAC file through libavcodec's encoder: lossless, so it
// decodes to exactly the samples given, at about half the size of the WAV. Written under a
// temporary name and renamed by finish(), as SoundSink says.
class FlacWriter final : public SoundSink {
  public:
    // Null with `error` set when the options are wrong or the file cannot be created.
    static std::unique_ptr<FlacWriter> create(const std::filesystem::path& path,
                                              const FlacOptions& options, std::string& error);
    ~FlacWriter() override = default;

    bool addAudio(std::span<const std::int16_t> interleaved) override;
    bool finish() override;
    void abandon() override { file_.abandon(); }
    const std::string& error() const override { return file_.error(); }

    std::int64_t samplesWritten() const { return audio_.samples(); }

  private:
    FlacWriter() = default;
    bool open(const std::filesystem::path& path, const FlacOptions& options);

    EncodedFile file_;
    AudioStreamEncoder audio_;
    bool finished_ = false;
};

}  // namespace lantrel
