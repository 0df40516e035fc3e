#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace lantrel {

// One line of progress for a terminal: phase, bar, percent, amount done, speed and time left.
class ProgressBar {
  public:
    using Clock = std::chrono::steady_clock;

    // `unit` names what is counted ("s" of sound, "frames"); `scale` turns counts into units.
    ProgressBar(std::string phase, std::string unit, double scale);

    void update(std::int64_t done, std::int64_t total, Clock::time_point now = Clock::now());
    // The line as it stands, without a line end; drawn after a carriage return.
    std::string line() const;

  private:
    std::string phase_;
    std::string unit_;
    double scale_;
    Clock::time_point started_;
    Clock::time_point now_;
    std::int64_t done_ = 0;
    std::int64_t total_ = 0;
};

}  // namespace lantrel
