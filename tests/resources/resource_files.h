#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "audio/sample_slot.h"

namespace lantrel::test {

// The folder a fresh build writes beside the lantrel executable.
inline std::filesystem::path builtRsrcFolder() {
    return LANTREL_RSRC_DIR;
}

// The first channel of a loaded sound as numbers.
inline std::vector<double> samplesOf(const SampleSlot& slot) {
    std::vector<double> samples(static_cast<std::size_t>(slot.frames()));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = slot.channelValue(static_cast<std::int64_t>(i), 0);
    return samples;
}

}  // namespace lantrel::test
