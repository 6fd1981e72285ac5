#include "InstanceChannel.h"

#include "PrivateFolder.h"

#include <QDataStream>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QLocalSocket>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <memory>
#include <optional>

namespace {
constexpr quint32 Magic = 0x54505231; // "TPR1"
constexpr char Ack = 'K';
constexpr qint64 MaxMessage = 64 * 1024 * 1024;
const QString SocketName = QStringLiteral("tessaro-pro.socket");

// A socket address holds at most sizeof(sun_path) - 1 bytes of path.
constexpr qsizetype MaxSocketPath = sizeof(sockaddr_un::sun_path) - 1;

// A long folder is reached through a descriptor this process keeps open for its lifetime:
// "/proc/self/fd/N/<name>" is short whatever the folder's own length.
QString shortPathThrough(const QString& folder) {
    static int handle = -1;
    static QString opened;
    if (handle < 0 || opened != folder) {
        if (handle >= 0)
            ::close(handle);
        handle = ::open(QFile::encodeName(folder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        opened = folder;
        if (handle < 0)
            return {};
    }
    return QStringLiteral("/proc/self/fd/%1/%2").arg(handle).arg(SocketName);
}

// The user of the process at the other end, as the kernel saw it connect.
std::optional<uid_t> peerUser(qintptr descriptor) {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (::getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) !=
            0 ||
        size != sizeof credentials)
        return std::nullopt;
    return credentials.uid;
}
} // namespace

InstanceChannel::InstanceChannel(QObject* parent) : QObject(parent) {}

QString InstanceChannel::serverName(QString* why) {
    // The user's own runtime folder keeps other users out; without one, a folder of ours.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    QString folder;
    QString reason;
    if (!runtime.isEmpty() && PrivateFolder::isPrivate(runtime, &reason)) {
        folder = runtime;
    } else {
        if (!runtime.isEmpty())
            qInfo().noquote() << QStringLiteral("Not using the runtime folder: %1").arg(reason);
        folder = QDir::temp().filePath(QStringLiteral("tessaro-pro-%1").arg(::getuid()));
        if (!PrivateFolder::makeOrCheck(folder, &reason)) {
            if (why)
                *why = reason;
            return {};
        }
    }
    const QString path = QDir(folder).filePath(SocketName);
    if (QFile::encodeName(path).size() <= MaxSocketPath)
        return path;
    const QString shortPath = shortPathThrough(folder);
    if (shortPath.isEmpty() && why)
        *why = QStringLiteral("cannot open %1").arg(folder);
    return shortPath;
}

bool InstanceChannel::forward(const QStringList& paths, const QString& target, int timeoutMs) {
    const QString name = serverName();
    if (name.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(message(paths, target));
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

QByteArray InstanceChannel::message(const QStringList& paths, const QString& target) {
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        out << paths;
        if (!target.isEmpty())
            out << target;
    }
    QByteArray message;
    {
        QDataStream out(&message, QIODevice::WriteOnly);
        out << Magic << static_cast<qint64>(payload.size());
    }
    return message + payload;
}

bool InstanceChannel::acceptsPeer(uid_t uid) {
    return uid == ::geteuid();
}

InstanceChannel::ListenResult InstanceChannel::listen() {
    if (isListening())
        return ListenResult::Listening;
    QString why;
    const QString name = serverName(&why);
    if (name.isEmpty()) {
        qWarning().noquote() << QStringLiteral(
                                    "Files opened by later launches cannot reach this window: %1")
                                    .arg(why);
        return ListenResult::Failed;
    }
    auto server = std::make_unique<QLocalServer>();
    // No socket options: with them Qt renames its socket over an existing one, which would
    // take the name from a running instance instead of failing.
    if (!server->listen(name)) {
        // Either another instance is there, or a crashed one left its socket behind.
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(1000))
            return ListenResult::OtherInstance;
        QLocalServer::removeServer(name);
        if (!server->listen(name))
            return ListenResult::Failed;
    }
    // The socket's mode came from the umask; only this user may connect. A connection made
    // before this line is still checked by its peer's user.
    if (::chmod(QFile::encodeName(name).constData(), 0600) != 0)
        qWarning().noquote() << QStringLiteral("Cannot make %1 private: %2")
                                    .arg(name, QString::fromLocal8Bit(std::strerror(errno)));
    server_ = server.release();
    server_->setParent(this);
    connect(server_, &QLocalServer::newConnection, this, &InstanceChannel::takeConnection);
    return ListenResult::Listening;
}

void InstanceChannel::takeConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (const std::optional<uid_t> peer = peerUser(socket->socketDescriptor());
            !peer || !acceptsPeer(*peer)) {
            qWarning().noquote() << QStringLiteral("Dropped a connection from user %1")
                                        .arg(peer ? QString::number(*peer) : QStringLiteral("?"));
            socket->abort();
            socket->deleteLater();
            continue;
        }
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
                QString target;
                body >> paths;
                if (!body.atEnd())
                    body >> target;
                if (body.status() != QDataStream::Ok) {
                    socket->abort();
                    return;
                }
                socket->putChar(Ack);
                socket->flush();
                disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
                Q_EMIT filesReceived(paths, target);
            };
            connect(socket, &QLocalSocket::readyRead, this, readPayload);
            readPayload();
        });
    }
}
