#include "interrupt_watch.h"

#include <pthread.h>

#include <ctime>

namespace lantrel {

namespace {

// The signal taken, or 0 when none is pending.
int takePending(const sigset_t& set) {
    timespec noWait{};
    const int taken = sigtimedwait(&set, nullptr, &noWait);
    return taken > 0 ? taken : 0;
}

}  // namespace

InterruptWatch::InterruptWatch() {
    sigemptyset(&set_);
    for (const int watched : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&set_, watched);
    pthread_sigmask(SIG_BLOCK, &set_, &previous_);
}

// A signal still pending is taken here, so that unblocking does not end the program after the
// verb has already stopped cleanly.
InterruptWatch::~InterruptWatch() {
    while (takePending(set_) != 0) {
    }
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

bool InterruptWatch::interrupted() {
    if (signal_ == 0) signal_ = takePending(set_);
    return signal_ != 0;
}

std::string_view signalName(int signal) {
    switch (signal) {
        case SIGINT:
            return "SIGINT";
        case SIGTERM:
            return "SIGTERM";
        case SIGHUP:
            return "SIGHUP";
        default:
            return "a signal";
    }
}

}  // namespace lantrel
