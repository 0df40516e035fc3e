#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace lantrel {

// Ctrl+C in the terminal, a closed terminal (SIGHUP) and a shutdown (SIGTERM) reach the window
// as an ordinary event instead of ending the process on the spot, so that a running export is
// cancelled and awaited and no half-written file is left. Without a handler or a global flag:
// the signals are blocked and read from a signalfd. Create it before any other thread starts.
class ShutdownSignals : public QObject {
    Q_OBJECT

  public:
    explicit ShutdownSignals(QObject* parent = nullptr);
    ~ShutdownSignals() override;

    // From now on, once the event loop runs, each signal calls `handle` on this thread with its
    // number. Needs the application object (the signals wait, blocked, until then).
    void listen(std::function<void(int signal)> handle);

  private:
    void readSignal();

    std::function<void(int)> onSignal_;
    int descriptor_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace lantrel
