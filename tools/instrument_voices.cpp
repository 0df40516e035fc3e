#include "instrument_voices.h"

#include <algorithm>
#include <cmath>

namespace lantrel {

namespace {

// Partials above this are left out: they would only alias once a note is played faster.
constexpr double kTopFrequency = 15000.0;

struct Vibrato {
    double rate = 0.0;   // Hz
    double cents = 0.0;  // depth either way
    double delay = 0.0;  // seconds before it starts to fade in
};

double centsToRatio(double cents) {
    return std::pow(2.0, cents / 1200.0);
}

double vibratoCents(const Vibrato& vibrato, double t) {
    if (vibrato.cents == 0.0 || t < vibrato.delay) return 0.0;
    const double fadeIn = std::min(1.0, (t - vibrato.delay) / 0.25);
    return vibrato.cents * fadeIn * std::sin(kTwoPi * vibrato.rate * (t - vibrato.delay));
}

// A tone of harmonics n = 1, 2, ... whose amplitudes `spectrum(n, t)` may change with time,
// with the pitch bent by `bendCents(t)` and a vibrato.
template <class Spectrum, class Bend>
void addHarmonicTone(Signal& out, double frequency, Spectrum spectrum, Bend bendCents,
                     const Vibrato& vibrato = {}) {
    const int harmonics = static_cast<int>(kTopFrequency / frequency);
    double phase = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = timeOf(i);
        double sum = 0.0;
        for (int n = 1; n <= harmonics; ++n)
            sum += spectrum(n, t) * std::sin(n * phase);
        out[i] += sum;
        const double cents = bendCents(t) + vibratoCents(vibrato, t);
        phase += kTwoPi * frequency * centsToRatio(cents) / kSynthRate;
        if (phase > kTwoPi * 1000) phase -= kTwoPi * 1000;
    }
}

double noBend(double) {
    return 0.0;
}

// Multiplies by an envelope given as a function of time.
template <class Envelope>
void shape(Signal& out, Envelope envelope) {
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] *= envelope(timeOf(i));
}

// Adds filtered noise shaped by an envelope.
template <class Envelope>
void addNoise(Signal& out, std::uint32_t seed, Biquad filter, double amplitude, Envelope envelope) {
    Noise noise(seed);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] += amplitude * envelope(timeOf(i)) * filter.process(noise.next());
}

// A rise over `attack` seconds with a smooth start.
double rise(double t, double attack) {
    if (t >= attack) return 1.0;
    return 0.5 - 0.5 * std::cos(kTwoPi / 2 * t / attack);
}

// ---- pitched instruments ---------------------------------------------------------------

Signal piano(double f) {
    Signal out = silence(1.45);
    // A stiff string: upper partials a little sharp. Two strings per note, a fraction of a
    // hertz apart, give the slow beating of a real unison; each partial dies in two stages.
    const double stiffness = 0.0002;
    for (int n = 1; n * f < kTopFrequency && n <= 28; ++n) {
        const double fn = n * f * std::sqrt(1 + stiffness * n * n);
        const double amplitude = std::pow(n, -1.15) * std::exp(-(n - 1) / 10.0);
        const double decay = 0.9 / (1 + 0.28 * (n - 1));
        for (double detune : {-0.25, 0.25}) {
            addDecayingSine(out, fn + detune, 0.35 * amplitude, decay);
            addDecayingSine(out, fn + detune, 0.15 * amplitude, 3 * decay);
        }
    }
    addNoise(out, 11, Biquad::lowPass(2200, 0.7), 0.12,
             [](double t) { return std::exp(-t / 0.006); });
    fadeEnds(out, 0.002, 0.08);
    return out;
}

Signal musicBox(double f) {
    Signal out = silence(1.3);
    // A plucked steel tooth: a clear fundamental and the tooth's high, quickly dying modes.
    addDecayingSine(out, f, 1.0, 0.8);
    addDecayingSine(out, 2 * f, 0.10, 0.3);
    addDecayingSine(out, 5.40 * f, 0.28, 0.06);
    addDecayingSine(out, 8.93 * f, 0.10, 0.025);
    fadeEnds(out, 0.0008, 0.06);
    return out;
}

Signal organ(double f) {
    Signal out = silence(1.25);
    // Drawbars: the fundamental with octaves and fifths above it, steady as long as the key
    // is held, and a gentle tremolo as from a rotating speaker.
    constexpr double kDrawbars[] = {0, 1.0, 0.6, 0.38, 0.3, 0, 0.14, 0, 0.1};
    addHarmonicTone(
        out, f, [&](int n, double) { return n < 9 ? kDrawbars[n] : 0.0; }, noBend);
    shape(out, [](double t) { return 1.0 + 0.06 * std::sin(kTwoPi * 6.2 * t); });
    addNoise(out, 13, Biquad::bandPass(2500, 1.0), 0.25,
             [](double t) { return std::exp(-t / 0.004); });
    shape(out, [](double t) { return rise(t, 0.012); });
    fadeEnds(out, 0.0, 0.07);
    return out;
}

Signal flute(double f) {
    Signal out = silence(1.35);
    // Nearly a sine, a breath of air, and a vibrato that comes in after the note settles.
    constexpr double kHarmonics[] = {0, 1.0, 0.28, 0.11, 0.05, 0.02};
    addHarmonicTone(
        out, f, [&](int n, double) { return n < 6 ? kHarmonics[n] : 0.0; }, noBend,
        Vibrato{5.0, 7.0, 0.25});
    addNoise(out, 17, Biquad::bandPass(2.5 * f, 1.5), 0.25,
             [](double t) { return 0.25 + 0.75 * std::exp(-t / 0.06); });
    shape(out, [](double t) { return rise(t, 0.08) * (1.0 - 0.12 * t); });
    fadeEnds(out, 0.0, 0.15);
    return out;
}

Signal harp(double f) {
    Signal out = silence(1.45);
    // A string plucked near its end: harmonic n weighs sin(n pi p) / n^2, and the higher
    // partials die first, so the note mellows as it rings.
    const double pluck = 0.13;
    for (int n = 1; n * f < kTopFrequency && n <= 30; ++n) {
        const double amplitude = std::abs(std::sin(n * kTwoPi / 2 * pluck)) / (n * n);
        addDecayingSine(out, n * f, amplitude, 1.2 / (1 + 0.3 * std::pow(n - 1, 1.3)));
    }
    fadeEnds(out, 0.001, 0.08);
    return out;
}

Signal trumpet(double f) {
    Signal out = silence(1.25);
    // The louder brass plays, the brighter it gets: the spectrum's slope follows the swell
    // of the envelope. The note starts a little flat and lips up to pitch.
    auto envelope = [](double t) {
        if (t < 0.045) return rise(t, 0.045) * 1.1;
        return 0.82 + 0.28 * std::exp(-(t - 0.045) / 0.06) - 0.1 * t;
    };
    addHarmonicTone(
        out, f,
        [&](int n, double t) {
            const double slope = 0.8 - 0.5 * std::min(envelope(t), 1.0);
            return std::exp(-(n - 1) * slope) / std::sqrt(n);
        },
        [](double t) { return t < 0.05 ? -25.0 * (1 - t / 0.05) : 0.0; }, Vibrato{5.5, 6.0, 0.35});
    shape(out, envelope);
    fadeEnds(out, 0.0, 0.1);
    return out;
}

Signal marimba(double f) {
    Signal out = silence(1.0);
    // A tuned wooden bar: a round fundamental, the bar's fourth-harmonic overtone, a faint
    // high mode, and the soft knock of the mallet.
    addDecayingSine(out, f, 1.0, 0.42);
    addDecayingSine(out, 3.93 * f, 0.32, 0.07);
    addDecayingSine(out, 9.2 * f, 0.08, 0.02);
    addNoise(out, 19, Biquad::lowPass(1500, 0.7), 0.25,
             [](double t) { return std::exp(-t / 0.004); });
    fadeEnds(out, 0.001, 0.06);
    return out;
}

Signal bell(double f) {
    Signal out = silence(1.45);
    // Harmonic partials with long, staggered decays, and stretched ones that give the strike
    // its clang and die away quickly; each partial is split in two a fraction of a hertz
    // apart so that the bell shimmers.
    struct Partial {
        double ratio, amplitude, decay;
    };
    constexpr Partial kPartials[] = {{1.0, 1.0, 1.3},  {2.0, 0.45, 0.9},  {3.0, 0.22, 0.55},
                                     {4.2, 0.3, 0.12}, {5.4, 0.16, 0.08}, {6.8, 0.1, 0.06},
                                     {8.4, 0.05, 0.04}};
    for (const Partial& partial : kPartials) {
        addDecayingSine(out, partial.ratio * f - 0.35, partial.amplitude / 2, partial.decay);
        addDecayingSine(out, partial.ratio * f + 0.35, partial.amplitude / 2, partial.decay);
    }
    fadeEnds(out, 0.001, 0.1);
    return out;
}

// How strongly the vocal tract passes a frequency when singing "ah": three formants.
double vowelAh(double frequency) {
    struct Formant {
        double centre, gain, width;
    };
    constexpr Formant kFormants[] = {{750, 1.0, 160}, {1150, 0.55, 180}, {2700, 0.25, 260}};
    double gain = 0.45;
    for (const Formant& formant : kFormants) {
        const double x = (frequency - formant.centre) / (formant.width / 2);
        gain += formant.gain / (1 + x * x);
    }
    // Above the formants a voice falls away steeply; without this it would buzz.
    const double high = frequency / 3000.0;
    return gain / (1 + high * high * high);
}

Signal voice(double f) {
    Signal out = silence(1.45);
    // Three singers a few cents apart, each with a vibrato of their own, on the vowel "ah".
    const double detunes[] = {-6.0, 0.0, 6.0};
    const double rates[] = {5.1, 5.5, 5.8};
    for (int singer = 0; singer < 3; ++singer) {
        const double pitch = f * centsToRatio(detunes[singer]);
        addHarmonicTone(
            out, pitch, [&](int n, double) { return vowelAh(n * pitch) / n / 3; }, noBend,
            Vibrato{rates[singer], 9.0, 0.2});
    }
    shape(out, [](double t) { return rise(t, 0.15); });
    fadeEnds(out, 0.0, 0.3);
    return out;
}

Signal bass(double f) {
    Signal out = silence(1.1);
    // A synthesizer bass: a sawtooth through a low-pass filter that closes quickly after the
    // pluck, with a firm fundamental.
    addHarmonicTone(
        out, f,
        [&](int n, double t) {
            const double cutoff = f * (1.3 + 7.0 * std::exp(-t / 0.07));
            const double x = n * f / cutoff;
            return 1.0 / n / std::sqrt(1 + x * x * x * x);
        },
        noBend);
    shape(out, [](double t) {
        return rise(t, 0.004) * (0.55 + 0.45 * std::exp(-t / 0.18)) * (1 - 0.3 * t);
    });
    fadeEnds(out, 0.0, 0.1);
    return out;
}

// ---- percussion ------------------------------------------------------------------------

Signal kick(double) {
    Signal out = silence(0.6);
    // A sine that drops from a punchy 170 Hz to 46 Hz, and a short click for the beater.
    double phase = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = timeOf(i);
        out[i] += std::exp(-t / 0.22) * std::sin(phase);
        phase += kTwoPi * (46.0 + 124.0 * std::exp(-t / 0.035)) / kSynthRate;
    }
    addNoise(out, 23, Biquad::bandPass(3000, 0.8), 0.5,
             [](double t) { return std::exp(-t / 0.0025); });
    fadeEnds(out, 0.0015, 0.05);
    return out;
}

Signal snare(double) {
    Signal out = silence(0.45);
    // The drum's body rings briefly under the rattle of the snare wires.
    addDecayingSine(out, 190, 0.55, 0.045);
    addDecayingSine(out, 340, 0.3, 0.03);
    Biquad band = Biquad::highPass(1800, 0.7);
    Biquad top = Biquad::lowPass(9000, 0.7);
    Noise noise(29);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] += 1.2 * std::exp(-timeOf(i) / 0.12) * top.process(band.process(noise.next()));
    fadeEnds(out, 0.001, 0.05);
    return out;
}

Signal handClap(double) {
    Signal out = silence(0.45);
    // A few hands a hair apart, then the room.
    auto envelope = [](double t) {
        double level = 0.0;
        for (double start : {0.0, 0.011, 0.022})
            if (t >= start) level += std::exp(-(t - start) / 0.0035);
        if (t >= 0.032) level += 0.8 * std::exp(-(t - 0.032) / 0.09);
        return level;
    };
    addNoise(out, 31, Biquad::bandPass(1300, 0.9), 1.0, envelope);
    fadeEnds(out, 0.0005, 0.05);
    return out;
}

Signal woodBlock(double) {
    Signal out = silence(0.3);
    // Two short resonances of a hollow block and the tap of the stick.
    addDecayingSine(out, 1050, 1.0, 0.045);
    addDecayingSine(out, 2720, 0.4, 0.02);
    addNoise(out, 37, Biquad::bandPass(4000, 1.0), 0.3,
             [](double t) { return std::exp(-t / 0.002); });
    fadeEnds(out, 0.0008, 0.04);
    return out;
}

Signal cymbal(double) {
    Signal out = silence(1.3);
    // Six square waves at unrelated pitches make the metallic clang, brightened by a
    // high-pass filter and washed with noise.
    constexpr double kTones[] = {263.0, 400.0, 421.0, 474.0, 587.0, 845.0};
    for (double tone : kTones)
        for (int n = 1; n * tone < kTopFrequency; n += 2)
            for (std::size_t i = 0; i < out.size(); ++i)
                out[i] += std::sin(kTwoPi * n * tone * timeOf(i)) / n / 6;
    Biquad high = Biquad::highPass(5500, 0.7);
    Biquad second = Biquad::highPass(5500, 0.7);
    Biquad hiss = Biquad::highPass(7000, 0.7);
    Noise noise(41);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = timeOf(i);
        const double ring =
            second.process(high.process(out[i])) + 0.15 * hiss.process(noise.next());
        out[i] = ring * (0.35 * std::exp(-t / 0.04) + 0.65 * std::exp(-t / 0.38));
    }
    fadeEnds(out, 0.001, 0.1);
    return out;
}

}  // namespace

const std::array<InstrumentVoice, 15> kInstrumentVoices = {{
    {"piano", true, 1.0, piano},
    {"music box", true, 0.8, musicBox},
    {"organ", true, 0.65, organ},
    {"flute", true, 0.75, flute},
    {"harp", true, 1.0, harp},
    {"trumpet", true, 0.7, trumpet},
    {"kick drum", false, 1.0, kick},
    {"snare drum", false, 1.0, snare},
    {"hand clap", false, 1.0, handClap},
    {"wood block", false, 0.85, woodBlock},
    {"cymbal", false, 0.6, cymbal},
    {"marimba", true, 1.0, marimba},
    {"bell", true, 0.8, bell},
    {"voice", true, 0.7, voice},
    {"bass", true, 1.0, bass},
}};

}  // namespace lantrel
