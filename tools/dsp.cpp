#include "dsp.h"

#include <algorithm>
#include <cmath>

namespace lantrel {

Signal silence(double seconds) {
    return Signal(static_cast<std::size_t>(std::lround(seconds * kSynthRate)), 0.0);
}

Biquad::Biquad(double b0, double b1, double b2, double a0, double a1, double a2)
    : b0_(b0 / a0), b1_(b1 / a0), b2_(b2 / a0), a1_(a1 / a0), a2_(a2 / a0) {}

Biquad Biquad::lowPass(double frequency, double q) {
    const double w = kTwoPi * frequency / kSynthRate;
    const double alpha = std::sin(w) / (2 * q);
    const double c = std::cos(w);
    return Biquad((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

Biquad Biquad::highPass(double frequency, double q) {
    const double w = kTwoPi * frequency / kSynthRate;
    const double alpha = std::sin(w) / (2 * q);
    const double c = std::cos(w);
    return Biquad((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

Biquad Biquad::bandPass(double frequency, double q) {
    const double w = kTwoPi * frequency / kSynthRate;
    const double alpha = std::sin(w) / (2 * q);
    const double c = std::cos(w);
    return Biquad(alpha, 0, -alpha, 1 + alpha, -2 * c, 1 - alpha);
}

double Biquad::process(double x) {
    const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
}

void addDecayingSine(Signal& out, double frequency, double amplitude, double decay, double start) {
    const auto first = static_cast<std::size_t>(std::lround(start * kSynthRate));
    for (std::size_t i = first; i < out.size(); ++i) {
        const double t = timeOf(i - first);
        out[i] += amplitude * std::exp(-t / decay) * std::sin(kTwoPi * frequency * t);
    }
}

void fadeEnds(Signal& out, double fadeIn, double fadeOut) {
    if (out.empty()) return;
    const auto in = static_cast<std::size_t>(std::lround(fadeIn * kSynthRate));
    const auto outLength = static_cast<std::size_t>(std::lround(fadeOut * kSynthRate));
    const std::size_t last = out.size() - 1;
    for (std::size_t i = 0; i <= std::min(in, last); ++i) {
        const double x = in == 0 ? 0.0 : static_cast<double>(i) / static_cast<double>(in);
        out[i] *= 0.5 - 0.5 * std::cos(kTwoPi / 2 * x);
    }
    for (std::size_t i = 0; i <= std::min(outLength, last); ++i) {
        const double x =
            outLength == 0 ? 0.0 : static_cast<double>(i) / static_cast<double>(outLength);
        out[last - i] *= 0.5 - 0.5 * std::cos(kTwoPi / 2 * x);
    }
}

}  // namespace lantrel
