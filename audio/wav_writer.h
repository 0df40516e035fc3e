#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

#include "base/atomic_file.h"
#include "base/sound_sink.h"

namespace lantrel {

// Writes an export's sound as a 16-bit PCM WAV: the 44-byte header declaring the format's
// frames, then the samples as they come. Written under a temporary name and renamed by
// finish(), as SoundSink says; a failed write (a full disk) removes the file at once.
class WavWriter final : public SoundSink {
  public:
    // Null with `error` set when the sound would not fit in a WAV file (4 GiB) or the file
    // cannot be created.
    static std::unique_ptr<WavWriter> create(const std::filesystem::path& path,
                                             const SoundFormat& format, std::string& error);

    bool addAudio(std::span<const std::int16_t> interleaved) override;
    bool finish() override;
    void abandon() override;
    const std::string& error() const override { return error_; }

  private:
    WavWriter() = default;
    bool write(std::span<const std::byte> bytes);
    bool fail(std::string message);

    AtomicOutputFile file_;
    bool failed_ = false;
    bool finished_ = false;
    std::string error_;
};

}  // namespace lantrel
