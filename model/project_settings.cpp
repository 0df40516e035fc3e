#include "project_settings.h"

#include <algorithm>
#include <cmath>

namespace lantrel {

int effectiveTempo(const ProjectSettings& settings) {
    const int tempo = std::max(settings.tempo, 1);
    if (!settings.emulateTempo) return tempo;
    const double tick = 1.0 / 64.0;
    const double ticksPerBeat = std::ceil(60.0 / tempo / tick);
    return static_cast<int>(std::ceil(60.0 / (tick * ticksPerBeat)));
}

int outputSampleRate(const ProjectSettings& settings) {
    const int rate = settings.sampleRate;
    return rate >= 8000 && rate <= 192000 ? rate : ProjectSettings{}.sampleRate;
}

}  // namespace lantrel
