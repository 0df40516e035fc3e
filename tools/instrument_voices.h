#pragma once

#include <array>

#include "dsp.h"

namespace lantrel {

// How one of the fifteen instruments sounds: a synthesis recipe that renders one note at a
// given pitch, and the level its sounds get relative to the loudest (1.0), chosen by ear so
// that the instruments sit together in a mix.
struct InstrumentVoice {
    const char* name;
    bool pitched;  // percussion is not tuned to the staff
    double level;
    Signal (*render)(double frequency);
};

// Index = instrument - 1.
extern const std::array<InstrumentVoice, 15> kInstrumentVoices;

}  // namespace lantrel
