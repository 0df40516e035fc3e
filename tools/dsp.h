#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace lantrel {

inline constexpr int kSynthRate = 44100;
inline constexpr double kTwoPi = 6.283185307179586;

using Signal = std::vector<double>;

inline double timeOf(std::size_t sample) {
    return static_cast<double>(sample) / kSynthRate;
}
Signal silence(double seconds);

// A second-order filter (the usual audio-cookbook forms), run sample by sample.
class Biquad {
  public:
    static Biquad lowPass(double frequency, double q);
    static Biquad highPass(double frequency, double q);
    static Biquad bandPass(double frequency, double q);  // 0 dB at the centre
    double process(double x);

  private:
    Biquad(double b0, double b1, double b2, double a0, double a1, double a2);
    double b0_, b1_, b2_, a1_, a2_;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// White noise from a fixed seed: every build writes the same bytes. The generator's output
// is defined by the standard; the mapping to -1..1 is our own, so it is portable too.
class Noise {
  public:
    explicit Noise(std::uint32_t seed) : engine_(seed) {}
    double next() { return static_cast<double>(engine_()) / 2147483647.5 - 1.0; }

  private:
    std::mt19937 engine_;
};

// Adds amplitude * exp(-t / decay) * sin(2 pi f t), starting at `start` seconds.
void addDecayingSine(Signal& out, double frequency, double amplitude, double decay,
                     double start = 0.0);

// Raised-cosine fades at both ends, so that a sound starts and ends at exactly zero and
// never clicks.
void fadeEnds(Signal& out, double fadeIn, double fadeOut);

}  // namespace lantrel
