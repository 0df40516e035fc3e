#include "instance_link.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace lantrel {

namespace {

constexpr int kConnectMs = 300;
constexpr int kReplyMs = 2000;

}  // namespace

QString InstanceLink::channelName() {
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty()) display = qEnvironmentVariable("DISPLAY");
    display.replace('/', '_');
    return QStringLiteral("lantrel-%1-%2").arg(::getuid()).arg(display);
}

bool InstanceLink::forward(const QString& name) {
    QLocalSocket socket;
    socket.connectToServer(channelName());
    if (!socket.waitForConnected(kConnectMs)) return false;
    socket.write(name.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(kReplyMs)) return false;
    // The running instance answers once it has the name, so that this start can end.
    return socket.waitForReadyRead(kReplyMs) && socket.readAll().startsWith("ok");
}

InstanceLink::InstanceLink(QObject* parent) : QObject(parent), server_(new QLocalServer(this)) {
    connect(server_, &QLocalServer::newConnection, this, &InstanceLink::accept);
}

bool InstanceLink::listen(std::function<void(const QString&)> open) {
    open_ = std::move(open);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (server_->listen(channelName())) return true;
    // A channel left by a program that crashed answers no one; take it over.
    QLocalServer::removeServer(channelName());
    return server_->listen(channelName());
}

void InstanceLink::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readNames(*socket); });
    }
}

// Opening a name may ask the user (the save question, "それは読めない"), and a message box runs
// an event loop of its own, in which the socket can disconnect and be deleted. So the names are
// opened later from the main loop, when none of the socket's code is on the stack any more.
void InstanceLink::readNames(QLocalSocket& socket) {
    while (socket.canReadLine()) {
        const QString name = QString::fromUtf8(socket.readLine()).trimmed();
        socket.write("ok\n");
        socket.flush();
        if (name.isEmpty()) continue;
        QMetaObject::invokeMethod(
            this, [this, name] { if (open_) open_(name); }, Qt::QueuedConnection);
    }
}

}  // namespace lantrel
