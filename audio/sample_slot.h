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
    // Sounds of up to this many frames (about 12 s at 44,100 Hz) keep a table of their levels;
    // a table holds 4 bytes per frame and channel, so for a long sound it would cost several
    // times the sound itself, and its levels are worked out as it plays instead.
    static constexpr std::int64_t kMaxGainTableFrames = std::int64_t{1} << 19;

    // Reads a WAV file. When the path does not open, the file name is tried in lower and then
    // upper case, because the sound tables mix "sound2.wav" with "SOUND28.WAV". Failures after
    // the file opened print "wave header error [tag]" to standard error; a sound whose data
    // cannot be allocated fails too, with ranOutOfMemory() set, and never throws.
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
    // Long sounds (see hasGainTable) get an empty table: the mixer then asks gainAt.
    const std::vector<std::int32_t>& gains(bool stereo) const;
    bool hasGainTable() const { return frames() <= gainTableLimit_; }
    // One level as the table would hold it: channel 0 is the mono mix of all channels, 1 the
    // left and 2 the right side; 0 outside the data. `panFactor` is panFactor()'s value.
    std::int32_t gainAt(std::int64_t frame, int channel, double panFactor) const;
    // sin(atan(64 / |pan - 64|)), which narrows both sides of an off-centre sound; 1 at 64.
    double panFactor() const;
    // Where the tables stop; the mixer's tests move it to compare both ways of mixing.
    void setGainTableLimit(std::int64_t frames) { gainTableLimit_ = frames; }

    bool ranOutOfMemory() const { return outOfMemory_; }
    // The bytes this sound holds: its data and its tables.
    std::size_t memoryBytes() const;

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
    std::int64_t gainTableLimit_ = kMaxGainTableFrames;
    bool outOfMemory_ = false;
};

}  // namespace lantrel
