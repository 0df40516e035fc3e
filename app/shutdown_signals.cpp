#include "shutdown_signals.h"

#include <QSocketNotifier>

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace lantrel {

namespace {

sigset_t shutdownSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}

}  // namespace

ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent) {
    const sigset_t set = shutdownSet();
    // Threads started after this inherit the mask, so only the descriptor ever sees them.
    if (pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0) return;
    descriptor_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
}

void ShutdownSignals::listen(std::function<void(int)> handle) {
    onSignal_ = std::move(handle);
    if (descriptor_ < 0 || notifier_) return;
    notifier_ = new QSocketNotifier(descriptor_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &ShutdownSignals::readSignal);
}

ShutdownSignals::~ShutdownSignals() {
    if (descriptor_ >= 0) ::close(descriptor_);
}

void ShutdownSignals::readSignal() {
    signalfd_siginfo info{};
    while (::read(descriptor_, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
        if (onSignal_) onSignal_(static_cast<int>(info.ssi_signo));
}

}  // namespace lantrel
