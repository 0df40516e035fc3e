#include "progress_bar.h"

#include <sys/ioctl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "argument_parsing.h"

namespace lantrel {

namespace {

constexpr int kWidestBar = 24;
constexpr int kNarrowestBar = 10;

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

std::string bar(double fraction, int width) {
    const int filled = static_cast<int>(fraction * width);
    return "[" + std::string(static_cast<std::size_t>(filled), '#') +
           std::string(static_cast<std::size_t>(width - filled), '.') + "]";
}

}  // namespace

ProgressBar::ProgressBar(std::string phase, std::string unit, double scale, int decimals)
    : phase_(std::move(phase)),
      unit_(std::move(unit)),
      scale_(scale),
      decimals_(decimals),
      started_(Clock::now()),
      now_(started_) {}

void ProgressBar::update(std::int64_t done, std::int64_t total, Clock::time_point now) {
    done_ = done;
    total_ = total;
    now_ = now;
}

std::string ProgressBar::number(double value) const {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals_, value);
    return text;
}

std::string ProgressBar::line(int columns) const {
    const auto done = static_cast<double>(done_);
    const auto total = static_cast<double>(total_);
    const double fraction = total > 0 ? std::clamp(done / total, 0.0, 1.0) : 0.0;
    const double elapsed = std::chrono::duration<double>(now_ - started_).count();
    const double rate = elapsed > 0 ? done * scale_ / elapsed : 0.0;

    char percent[8];
    std::snprintf(percent, sizeof percent, "%3d%%", static_cast<int>(fraction * 100));
    // The optional pieces, in the order they give way when the terminal is narrow.
    std::vector<std::string> pieces = {
        number(done * scale_) + "/" + number(total * scale_) + " " + unit_,
        number(rate) + " " + unit_ + "/s",
    };
    if (fraction > 0 && fraction < 1)
        pieces.push_back(formatDuration(elapsed / fraction - elapsed) + " left");

    const int room = std::max(columns - 1, 1);
    for (;;) {
        std::string tail = percent;
        for (const std::string& piece : pieces)
            tail += "  " + piece;
        const int spare = room - static_cast<int>(phase_.size() + tail.size()) - 4;  // " [] "
        if (spare >= kNarrowestBar || pieces.empty()) {
            const int width = std::clamp(spare, 0, kWidestBar);
            std::string text = phase_ + " " + bar(fraction, width) + " " + tail;
            if (static_cast<int>(text.size()) > room) text.resize(static_cast<std::size_t>(room));
            return text;
        }
        pieces.pop_back();
    }
}

int terminalColumns(int descriptor) {
    winsize size{};
    if (::ioctl(descriptor, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    if (const char* columns = std::getenv("COLUMNS"))
        if (const auto parsed = parseNumber<int>(columns); parsed && *parsed > 0) return *parsed;
    return 80;
}

}  // namespace lantrel
