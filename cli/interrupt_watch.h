#pragma once

#include <signal.h>

namespace lantrel {

// Ctrl+C for the command-line verbs, without a signal handler or any global flag: while a watch
// exists, SIGINT is blocked in this thread and in every thread started after it, so the signal
// waits until the verb's own loop collects it. Create the watch before starting any thread.
class InterruptWatch {
  public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    // Whether Ctrl+C has come since the watch began (it stays true once seen).
    bool interrupted();

  private:
    sigset_t set_;
    sigset_t previous_;
    bool seen_ = false;
};

}  // namespace lantrel
