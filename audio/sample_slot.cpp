#include "sample_slot.h"

#include "wav_format.h"

#include "base/byte_order.h"
#include "base/input_file.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <string>

namespace lantrel {

namespace {

// Bytes left from the current position to the end, or -1 when the stream cannot tell.
std::int64_t remainingBytes(std::istream& in) {
    const auto here = in.tellg();
    in.seekg(0, std::ios::end);
    const auto end = in.tellg();
    in.seekg(here);
    return here < 0 || end < 0 ? -1 : static_cast<std::int64_t>(end - here);
}

bool fail(const char* tag) {
    std::fprintf(stderr, "wave header error [%s]\n", tag);
    return false;
}

std::filesystem::path withFileNameCase(const std::filesystem::path& path, int (*convert)(int)) {
    std::string name = path.filename().string();
    std::transform(name.begin(), name.end(), name.begin(),
                   [convert](unsigned char c) { return static_cast<char>(convert(c)); });
    return path.parent_path() / name;
}

}  // namespace

void SampleSlot::clear() {
    data.clear();
    data.shrink_to_fit();
    dataSize = 0;
    outOfMemory_ = false;
    for (GainTable& table : gainTables_)
        table = {};
}

bool SampleSlot::load(const std::filesystem::path& path) {
    clear();
    // Only regular files are opened: a named pipe in a lane's folder would block the load.
    std::ifstream file;
    for (const auto& candidate :
         {path, withFileNameCase(path, ::tolower), withFileNameCase(path, ::toupper)}) {
        if (!isRegularInputFile(candidate)) continue;
        file.open(candidate, std::ios::binary);
        if (file) break;
    }
    if (!file.is_open()) return false;
    return load(file);
}

bool SampleSlot::load(std::istream& in) {
    clear();
    WavFormat format;
    std::uint32_t size = 0;
    if (const char* failed = readWavHeader(in, format, size)) return fail(failed);
    channels = format.channels;
    samplesPerSec = format.samplesPerSec;
    avgBytesPerSec = format.avgBytesPerSec;
    blockAlign = format.blockAlign;
    bitsPerSample = format.bitsPerSample;
    // Sizes above 100,000,000 bytes (or negative, read as signed) are not sounds.
    if (size > static_cast<std::uint32_t>(kMaxDataSize)) return fail("data size");

    // Allocate no more than the file can deliver, so a forged size cannot cost 100 MB.
    const std::int64_t available = remainingBytes(in);
    const auto wanted = static_cast<std::int64_t>(size);
    try {
        data.resize(static_cast<std::size_t>(available < 0 ? wanted : std::min(wanted, available)));
    } catch (const std::bad_alloc&) {
        // Many long sounds on a small machine: this one is refused, and the caller says so.
        outOfMemory_ = true;
        return false;
    }
    in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
    const auto arrived = in.gcount();
    data.resize(static_cast<std::size_t>(arrived));
    dataSize = static_cast<std::int32_t>(arrived);
    if (arrived < wanted) {
        std::fprintf(stderr, "sz=%0x\n", static_cast<unsigned>(size));
        return fail("data");
    }
    return true;
}

namespace {

const std::vector<std::int32_t> kNoTable;

std::int32_t stereoGain(const SampleSlot& sound, std::int64_t frame, int side, double panFactor) {
    const int channel = sound.channels >= 2 ? side : 0;
    const int weight = side == 0 ? 127 - sound.pan : sound.pan;
    double o = static_cast<double>(sound.channelValue(frame, channel)) * weight / 127.0 * 1.8;
    if (sound.pan != 64) o *= panFactor;
    return static_cast<std::int32_t>(sound.volume / 100.0 * o);
}

std::int32_t monoGain(const SampleSlot& sound, std::int64_t frame) {
    std::int64_t sum = 0;
    for (int channel = 0; channel < sound.channels; ++channel)
        sum += sound.channelValue(frame, channel);
    const double o = static_cast<double>(sum) / sound.channels;
    return static_cast<std::int32_t>(sound.volume / 100.0 * o);
}

}  // namespace

double SampleSlot::panFactor() const {
    return pan == 64 ? 1.0 : std::sin(std::atan(64.0 / std::abs(pan - 64)));
}

std::int32_t SampleSlot::gainAt(std::int64_t frame, int channel, double factor) const {
    if (frame < 0 || frame >= frames()) return 0;
    return channel == 1 || channel == 2 ? stereoGain(*this, frame, channel - 1, factor)
                                        : monoGain(*this, frame);
}

std::size_t SampleSlot::memoryBytes() const {
    std::size_t bytes = data.capacity();
    for (const GainTable& table : gainTables_)
        bytes += table.values.capacity() * sizeof(std::int32_t);
    return bytes;
}

const std::vector<std::int32_t>& SampleSlot::gains(bool stereo) const {
    GainTable& table = gainTables_[stereo ? 1 : 0];
    if (!hasGainTable()) {
        table = {};
        return kNoTable;
    }
    if (table.valid && table.pan == pan && table.volume == volume) return table.values;
    const auto frameCount = static_cast<std::size_t>(frames());
    const std::size_t width = stereo ? 2 : 1;
    table.values.assign((frameCount + 1) * width, 0);
    const double panFactor = this->panFactor();
    for (std::size_t frame = 0; frame < frameCount; ++frame) {
        const auto f = static_cast<std::int64_t>(frame);
        if (stereo) {
            table.values[2 * frame] = stereoGain(*this, f, 0, panFactor);
            table.values[2 * frame + 1] = stereoGain(*this, f, 1, panFactor);
        } else {
            table.values[frame] = monoGain(*this, f);
        }
    }
    table.valid = true;
    table.pan = pan;
    table.volume = volume;
    return table.values;
}

// A block must hold exactly one sample of every channel. Anything else (a forged 32767 channels
// in a block of 2 bytes) is nonsense and plays as silence; otherwise the mono mix, which averages
// every channel of every frame, could cost far more work than the file has bytes.
bool SampleSlot::hasSensibleFormat() const {
    if (blockAlign <= 0 || channels <= 0) return false;
    const int bytesPerSample = blockAlign / channels;
    return bytesPerSample >= 1 && bytesPerSample * channels == blockAlign;
}

std::int64_t SampleSlot::frames() const {
    return hasSensibleFormat() ? dataSize / blockAlign : 0;
}

std::int32_t SampleSlot::channelValue(std::int64_t frame, int channel) const {
    if (frame < 0 || frame >= frames() || channel < 0 || channel >= channels) return 0;
    const int bytesPerSample = blockAlign / channels;
    const std::uint8_t* first = data.data() + frame * blockAlign;
    if (bytesPerSample == 1) return (first[channel] - 128) * 256;
    // The last two bytes of the channel's sample: the whole of a 16-bit sample, the top 16 bits
    // of a wider one.
    const std::uint8_t* top = first + bytesPerSample * (channel + 1) - 2;
    return static_cast<std::int16_t>(le::get16(top));
}

}  // namespace lantrel
