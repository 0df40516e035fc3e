#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace lantrel {

// What a sound file of an export holds: 16-bit samples at `sampleRate`, `channels`
// interleaved, `frames` sample frames in all (a WAV header declares them up front).
struct SoundFormat {
    int sampleRate = 44100;
    int channels = 2;
    std::int64_t frames = 0;
};

// Where an export's sound goes, one block after another: 16-bit samples, channels interleaved,
// in blocks of any whole number of sample frames. The WAV writer, the FLAC writer and the MP4
// writer take the same samples through it.
//
// Contract: after the first false every later call returns false too, and error() says what
// went wrong; the partial file is already gone. finish() makes the file appear under its name
// in one step (replacing an older one); abandon() or destroying the sink unfinished removes
// what was written and leaves an older file of that name untouched.
class SoundSink {
  public:
    virtual ~SoundSink() = default;
    virtual bool addAudio(std::span<const std::int16_t> interleaved) = 0;
    virtual bool finish() = 0;
    virtual void abandon() = 0;
    virtual const std::string& error() const = 0;
};

}  // namespace lantrel
