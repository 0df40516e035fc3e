#include "sound_bank.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "audio/sample_set.h"
#include "audio/sample_slot.h"
#include "audio/wav_format.h"
#include "base/byte_order.h"
#include "instrument_voices.h"

namespace lantrel {

namespace {

constexpr double kTopPositionHz = 783.99;  // G5, pitch position 1
constexpr int kLowerReference = 9;
constexpr int kUpperReference = 3;

double positionFrequency(int position) {
    return kTopPositionHz *
           std::pow(2.0, -kPositionSemitones[static_cast<std::size_t>(position)] / 12.0);
}

// Takes out any DC offset, then fades again so that the ends stay exactly at zero.
void removeOffset(Signal& signal) {
    if (signal.empty()) return;
    const double mean =
        std::accumulate(signal.begin(), signal.end(), 0.0) / static_cast<double>(signal.size());
    for (double& sample : signal)
        sample -= mean;
    fadeEnds(signal, 0.0005, 0.0005);
}

}  // namespace

SoundPlan soundPlan(int index) {
    for (std::size_t i = 0; i < kInstrumentSounds.size(); ++i) {
        const InstrumentSounds& sounds = kInstrumentSounds[i];
        const int instrument = static_cast<int>(i) + 1;
        if (sounds.lower == index) return {instrument, false, positionFrequency(kLowerReference)};
        if (sounds.split > 0 && sounds.upper == index)
            return {instrument, true, positionFrequency(kUpperReference)};
    }
    return {0, false, 0.0};
}

std::vector<std::int16_t> renderSound(int index) {
    const SoundPlan plan = soundPlan(index);
    if (plan.instrument < 1) return {};
    const InstrumentVoice& voice = kInstrumentVoices[static_cast<std::size_t>(plan.instrument - 1)];
    Signal signal = voice.render(plan.frequency);
    removeOffset(signal);
    double peak = 0.0;
    for (double sample : signal)
        peak = std::max(peak, std::abs(sample));
    const double gain = peak > 0.0 ? voice.level * kPeakCeiling / peak : 0.0;
    std::vector<std::int16_t> samples(signal.size());
    std::transform(signal.begin(), signal.end(), samples.begin(), [gain](double sample) {
        return static_cast<std::int16_t>(std::lround(sample * gain));
    });
    return samples;
}

std::vector<std::uint8_t> encodeWav(const std::vector<std::int16_t>& samples) {
    std::vector<std::uint8_t> bytes =
        makeWavHeader(false, kSynthRate, static_cast<std::uint32_t>(samples.size()));
    bytes.reserve(bytes.size() + 2 * samples.size());
    for (std::int16_t sample : samples)
        le::put16(bytes, static_cast<std::uint16_t>(sample));
    return bytes;
}

}  // namespace lantrel
