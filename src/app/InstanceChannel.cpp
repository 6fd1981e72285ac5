#include "InstanceChannel.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

#include <memory>

namespace {
constexpr quint32 Magic = 0x54505231; // "TPR1"
constexpr char Ack = 'K';
constexpr qint64 MaxMessage = 64 * 1024 * 1024;
} // namespace

InstanceChannel::InstanceChannel(QObject* parent) : QObject(parent) {}

QString InstanceChannel::serverName() {
    // The user's own runtime folder keeps other users out; without one, a private folder.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::temp().filePath(QStringLiteral("tessaro-pro-%1").arg(getuid()));
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    }
    return QDir(folder).filePath(QStringLiteral("tessaro-pro.socket"));
}

bool InstanceChannel::forward(const QStringList& paths, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        out << paths;
    }
    QByteArray message;
    {
        QDataStream out(&message, QIODevice::WriteOnly);
        out << Magic << static_cast<qint64>(payload.size());
    }
    message += payload;
    socket.write(message);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(timeoutMs))
            return false;
    }
    // The receiver confirms with one byte once it has the whole list.
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    char reply = 0;
    return socket.getChar(&reply) && reply == Ack;
}

InstanceChannel::ListenResult InstanceChannel::listen() {
    if (isListening())
        return ListenResult::Listening;
    auto server = std::make_unique<QLocalServer>();
    // No socket options: with them Qt renames its socket over an existing one, which would
    // take the name from a running instance instead of failing.
    if (!server->listen(serverName())) {
        // Either another instance is there, or a crashed one left its socket behind.
        QLocalSocket probe;
        probe.connectToServer(serverName());
        if (probe.waitForConnected(1000))
            return ListenResult::OtherInstance;
        QLocalServer::removeServer(serverName());
        if (!server->listen(serverName()))
            return ListenResult::Failed;
    }
    server_ = server.release();
    server_->setParent(this);
    connect(server_, &QLocalServer::newConnection, this, &InstanceChannel::takeConnection);
    return ListenResult::Listening;
}

void InstanceChannel::takeConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            QDataStream in(socket);
            in.startTransaction();
            quint32 magic = 0;
            qint64 size = 0;
            in >> magic >> size;
            if (!in.commitTransaction())
                return;
            if (magic != Magic || size < 0 || size > MaxMessage) {
                socket->abort();
                return;
            }
            // Header read; wait for the whole list, then decode it.
            socket->setProperty("payloadSize", size);
            disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
            auto readPayload = [this, socket] {
                const qint64 want = socket->property("payloadSize").toLongLong();
                if (socket->bytesAvailable() < want)
                    return;
                const QByteArray payload = socket->read(want);
                QDataStream body(payload);
                QStringList paths;
                body >> paths;
                if (body.status() != QDataStream::Ok) {
                    socket->abort();
                    return;
                }
                socket->putChar(Ack);
                socket->flush();
                disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
                Q_EMIT filesReceived(paths);
            };
            connect(socket, &QLocalSocket::readyRead, this, readPayload);
            readPayload();
        });
    }
}
