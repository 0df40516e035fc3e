#pragma once

#include <cstdint>
#include <span>

#include "encoded_file.h"

namespace lantrel {

struct AudioEncoding {
    const char* encoder = "aac";  // libavcodec's name for it
    int sampleRate = 44100;
    int channels = 2;
    std::int64_t bitRate = 0;  // bits a second; 0 for the encoder's own choice
};

// One audio stream of an EncodedFile: takes 16-bit interleaved samples in blocks of any size
// and hands them to the encoder in frames of exactly the encoder's frame size, only the last
// one shorter, with each frame's time stamp its first sample's number. The samples go in as
// they are: as 16-bit integers where the encoder takes them (FLAC), else as floats s / 32768.
class AudioStreamEncoder {
  public:
    // Opens the encoder and adds its stream; false with the file's error set when it cannot.
    bool open(EncodedFile& file, const AudioEncoding& encoding);
    bool add(std::span<const std::int16_t> interleaved);
    // Sends the last, short frame and drains the encoder.
    bool finish();

    // Sample frames taken so far.
    std::int64_t samples() const { return samples_; }

  private:
    bool allocateFrame();
    void store(const std::int16_t* interleaved, int count);
    bool sendFrame();

    EncodedFile* file_ = nullptr;
    libav::CodecContext encoder_;
    libav::Frame frame_;
    int stream_ = -1;
    int channels_ = 0;
    int frameSize_ = 0;
    int filled_ = 0;  // sample frames waiting in frame_
    std::int64_t samples_ = 0;
};

}  // namespace lantrel
