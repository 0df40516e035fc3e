#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace lantrel {

// A signal that wakes one waiter and then clears itself, like a Windows auto-reset event.
class AutoResetEvent {
  public:
    void set();
    void reset();
    // Waits until the event is set or the timeout passes; true (and the signal consumed)
    // when it was set.
    bool wait(std::chrono::milliseconds timeout);
    // Consumes the signal if it is set, without waiting.
    bool poll();

  private:
    std::mutex mutex_;
    std::condition_variable signalled_;
    bool set_ = false;
};

}  // namespace lantrel
