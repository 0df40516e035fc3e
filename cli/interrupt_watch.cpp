#include "interrupt_watch.h"

#include <pthread.h>

#include <ctime>

namespace lantrel {

namespace {

bool takePending(const sigset_t& set) {
    timespec noWait{};
    return sigtimedwait(&set, nullptr, &noWait) == SIGINT;
}

}  // namespace

InterruptWatch::InterruptWatch() {
    sigemptyset(&set_);
    sigaddset(&set_, SIGINT);
    pthread_sigmask(SIG_BLOCK, &set_, &previous_);
}

// A Ctrl+C still pending is taken here, so that unblocking does not end the program after the
// verb has already stopped cleanly.
InterruptWatch::~InterruptWatch() {
    while (takePending(set_)) {
    }
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

bool InterruptWatch::interrupted() {
    if (!seen_) seen_ = takePending(set_);
    return seen_;
}

}  // namespace lantrel
