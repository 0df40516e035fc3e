#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace lantrel {

// One line of progress for a terminal: phase, bar, percent, amount done, speed and time left.
class ProgressBar {
  public:
    using Clock = std::chrono::steady_clock;

    // `unit` names what is counted ("s" of sound, "frames"); `scale` turns counts into units,
    // shown with `decimals` places (frames are whole, seconds of sound have one).
    ProgressBar(std::string phase, std::string unit, double scale, int decimals);

    void update(std::int64_t done, std::int64_t total, Clock::time_point now = Clock::now());
    // The line as it stands, without a line end, drawn after a carriage return on a terminal
    // `columns` wide. It stays out of the last column, where many terminals wrap, so that each
    // update overwrites the line instead of scrolling a new one: the bar narrows first, then
    // the time left, the speed and the amount go, and what still does not fit is cut.
    std::string line(int columns) const;

  private:
    std::string number(double value) const;

    std::string phase_;
    std::string unit_;
    double scale_;
    int decimals_;
    Clock::time_point started_;
    Clock::time_point now_;
    std::int64_t done_ = 0;
    std::int64_t total_ = 0;
};

// The width of the terminal on `descriptor` (TIOCGWINSZ), else $COLUMNS, else 80.
int terminalColumns(int descriptor);

}  // namespace lantrel
