#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <istream>
#include <vector>

namespace lantrel {

// One loaded sound: the PCM data of a WAV file with the format fields that decoding needs,
// and the pan and volume the lane puts on it. Only plain PCM files whose "data" chunk follows
// "fmt " directly are read, as the sequencer's own sounds are.
class SampleSlot {
  public:
    static constexpr std::int32_t kMaxDataSize = 100'000'000;

    // Reads a WAV file. When the path does not open, the file name is tried in lower and then
    // upper case, because the sound tables mix "sound2.wav" with "SOUND28.WAV". Failures after
    // the file opened print "wave header error [tag]" to standard error.
    bool load(const std::filesystem::path& path);
    bool load(std::istream& in);
    void clear();

    // The value of one channel of one frame in the 16-bit range: 8-bit data is centred and
    // scaled, wider data gives the top 16 bits of each sample. 0 outside the data.
    std::int32_t channelValue(std::int64_t frame, int channel) const;
    // Whole frames of data; 0 for a format whose block does not hold exactly one sample of
    // each channel (channels x bytes per sample != block size), which plays as silence.
    std::int64_t frames() const;
    bool hasSensibleFormat() const;
    bool isLoaded() const { return !data.empty(); }

    // The sound's level per source frame after pan and volume, as the mixer adds it up: mono
    // values, or left/right pairs for stereo, followed by one frame of zeros. Worked out on
    // first use and kept until the pan, the volume or the data change. Not thread-safe: a
    // sample set is used by one thread at a time.
    const std::vector<std::int32_t>& gains(bool stereo) const;

    std::int32_t channels = 0;
    std::int32_t samplesPerSec = 0;
    std::int32_t avgBytesPerSec = 0;
    std::int16_t blockAlign = 0;
    std::int16_t bitsPerSample = 0;
    // Bytes of PCM data held. After a short read this is what arrived, so a sound cut off
    // by a truncated file plays the part that exists and nothing else.
    std::int32_t dataSize = 0;
    std::vector<std::uint8_t> data;
    std::int32_t pan = 64;
    std::int32_t volume = 100;

  private:
    struct GainTable {
        bool valid = false;
        std::int32_t pan = 0;
        std::int32_t volume = 0;
        std::vector<std::int32_t> values;
    };
    mutable std::array<GainTable, 2> gainTables_;  // mono, stereo
};

}  // namespace lantrel
