#include "auto_reset_event.h"

namespace lantrel {

void AutoResetEvent::set() {
    {
        std::lock_guard guard(mutex_);
        set_ = true;
    }
    signalled_.notify_one();
}

void AutoResetEvent::reset() {
    std::lock_guard guard(mutex_);
    set_ = false;
}

bool AutoResetEvent::wait(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!signalled_.wait_for(lock, timeout, [this] { return set_; })) return false;
    set_ = false;
    return true;
}

bool AutoResetEvent::poll() {
    std::lock_guard guard(mutex_);
    const bool wasSet = set_;
    set_ = false;
    return wasSet;
}

}  // namespace lantrel
