#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;
class QLocalSocket;

namespace lantrel {

// A second start with a file name hands the name to the program already running on the same
// display, which opens it by its open-file rule, the way a desktop opens a document in the
// program that has it open already.
class InstanceLink : public QObject {
    Q_OBJECT

  public:
    // The channel of this user on this display.
    static QString channelName();
    // Gives `name` (an absolute path) to a running instance; true when one took it.
    static bool forward(const QString& name);

    explicit InstanceLink(QObject* parent = nullptr);
    // Takes names from later starts; each one is handed to `open` on this thread, from the
    // event loop, never from inside the socket that brought it.
    bool listen(std::function<void(const QString& name)> open);

  private:
    void accept();
    void readNames(QLocalSocket& socket);

    QLocalServer* server_;
    std::function<void(const QString&)> open_;
};

}  // namespace lantrel
