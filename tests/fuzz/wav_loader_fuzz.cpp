// Feeds arbitrary bytes to the WAV reader and decodes whatever it accepted: no input may
// crash it or make it read outside the data it holds.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "audio/sample_slot.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    lantrel::SampleSlot slot;
    slot.load(in);
    const std::int64_t frames = std::min<std::int64_t>(slot.frames() + 2, 4096);
    for (std::int64_t frame = -1; frame < frames; ++frame)
        for (int channel = -1; channel <= std::min(slot.channels, 8); ++channel)
            (void)slot.channelValue(frame, channel);
    return 0;
}
