#include "progress_bar.h"

#include <algorithm>
#include <cstdio>

namespace lantrel {

namespace {

constexpr int kBarWidth = 24;

std::string formatDuration(double seconds) {
    char text[32];
    const auto whole = static_cast<long long>(seconds + 0.5);
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60,
                      whole % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}

}  // namespace

ProgressBar::ProgressBar(std::string phase, std::string unit, double scale)
    : phase_(std::move(phase)),
      unit_(std::move(unit)),
      scale_(scale),
      started_(Clock::now()),
      now_(started_) {}

void ProgressBar::update(std::int64_t done, std::int64_t total, Clock::time_point now) {
    done_ = done;
    total_ = total;
    now_ = now;
}

std::string ProgressBar::line() const {
    const auto done = static_cast<double>(done_);
    const auto total = static_cast<double>(total_);
    const double fraction = total > 0 ? std::clamp(done / total, 0.0, 1.0) : 0.0;
    const int filled = static_cast<int>(fraction * kBarWidth);
    const double elapsed = std::chrono::duration<double>(now_ - started_).count();
    const double rate = elapsed > 0 ? done * scale_ / elapsed : 0.0;
    std::string text = phase_ + " [" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "] ";
    char numbers[128];
    std::snprintf(numbers, sizeof numbers, "%3d%%  %.1f/%.1f %s  %.1f %s/s",
                  static_cast<int>(fraction * 100), done * scale_, total * scale_, unit_.c_str(),
                  rate, unit_.c_str());
    text += numbers;
    if (fraction > 0 && fraction < 1)
        text += "  " + formatDuration(elapsed / fraction - elapsed) + " left";
    return text;
}

}  // namespace lantrel
