#pragma once

#include <cmath>
#include <optional>
#include <span>
#include <vector>

namespace lantrel::test {

// The fundamental of `window` samples starting at `start`, by the YIN method: the first lag
// whose cumulative-mean-normalised difference dips below 0.15, refined between samples by a
// parabola through its neighbours. Nothing when no lag between the rates given qualifies.
inline std::optional<double> estimatePitch(std::span<const double> samples, std::size_t start,
                                           int rate, double lowestHz, double highestHz) {
    constexpr std::size_t kWindow = 2048;
    const auto maxLag = static_cast<std::size_t>(rate / lowestHz) + 2;
    const auto minLag = static_cast<std::size_t>(rate / highestHz);
    if (start + kWindow + maxLag > samples.size()) return std::nullopt;
    std::vector<double> normalised(maxLag + 1, 1.0);
    double running = 0.0;
    for (std::size_t lag = 1; lag <= maxLag; ++lag) {
        double difference = 0.0;
        for (std::size_t i = start; i < start + kWindow; ++i) {
            const double d = samples[i] - samples[i + lag];
            difference += d * d;
        }
        running += difference;
        normalised[lag] = running > 0 ? difference * static_cast<double>(lag) / running : 1.0;
    }
    for (std::size_t lag = std::max<std::size_t>(minLag, 2); lag < maxLag; ++lag) {
        if (normalised[lag] >= 0.15 || normalised[lag] > normalised[lag + 1]) continue;
        const double a = normalised[lag - 1], b = normalised[lag], c = normalised[lag + 1];
        const double curve = a - 2 * b + c;
        const double offset = curve != 0 ? 0.5 * (a - c) / curve : 0.0;
        return rate / (static_cast<double>(lag) + offset);
    }
    return std::nullopt;
}

inline double centsBetween(double frequency, double reference) {
    return 1200.0 * std::log2(frequency / reference);
}

}  // namespace lantrel::test
