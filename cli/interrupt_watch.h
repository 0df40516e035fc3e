#pragma once

#include <signal.h>

#include <string_view>

namespace lantrel {

// Ctrl+C for the command-line verbs, without a signal handler or any global flag: while a watch
// exists, SIGINT, SIGTERM and SIGHUP are blocked in this thread and in every thread started
// after it, so a signal waits until the verb's own loop collects it. A closed terminal (SIGHUP)
// or a shutdown (SIGTERM) thus stops a verb the way Ctrl+C does, cleanly, instead of ending the
// program in the middle of a file. Create the watch before starting any thread.
class InterruptWatch {
  public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    // Whether one of the signals has come since the watch began (it stays true once seen).
    bool interrupted();
    // The first signal that came (SIGINT, SIGTERM or SIGHUP), or 0 while none has.
    int signalNumber() const { return signal_; }

  private:
    sigset_t set_;
    sigset_t previous_;
    int signal_ = 0;
};

// The exit status after a verb stopped for `signal`: 128 + the signal's number, as a shell
// reports a program that the signal ended (130 for Ctrl+C).
inline int exitStatusForSignal(int signal) {
    return 128 + signal;
}

// "SIGINT", "SIGTERM", "SIGHUP", or "a signal".
std::string_view signalName(int signal);

}  // namespace lantrel
