#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "wav_format.h"

namespace lantrel {

// Reads the PCM frames of a WAV file a range at a time, for files too long to hold in memory
// (the export's sound, which the joiner copies into the movie).
class WavFileReader {
  public:
    bool open(const std::filesystem::path& path);
    const WavFormat& format() const { return format_; }
    // Whole frames present in the file (a data chunk cut short counts what is there).
    std::int64_t frames() const { return frames_; }
    // The bytes of frames first .. first + count - 1, clipped to the frames present.
    bool read(std::int64_t first, std::int64_t count, std::vector<std::uint8_t>& bytes);

  private:
    std::ifstream file_;
    WavFormat format_;
    std::int64_t dataOffset_ = 0;
    std::int64_t frames_ = 0;
};

}  // namespace lantrel
