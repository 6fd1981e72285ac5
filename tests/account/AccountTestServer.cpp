#include "AccountTestServer.h"

#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSslKey>
#include <QSslSocket>

namespace {
QByteArray json(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A whole answer; one with a location is a redirect (307 unless status says otherwise).
void write(QSslSocket* socket, const QByteArray& body, const QByteArray& type,
           const QByteArray& location = {}, QByteArray status = {}) {
    const QByteArray typeHeader = type.isEmpty() ? "" : "Content-Type: " + type + "\r\n";
    if (status.isEmpty())
        status = location.isEmpty() ? "200 OK" : "307 Temporary Redirect";
    socket->write("HTTP/1.1 " + status + "\r\n" + typeHeader +
                  (location.isEmpty() ? "" : "Location: " + location + "\r\n") +
                  "Content-Length: " + QByteArray::number(body.size()) +
                  "\r\nConnection: close\r\n\r\n" + body);
    socket->disconnectFromHost();
}

// Bytes [from, to) of {"status":"200","pad":"xx...x"} padded to size bytes.
QByteArray paddedJson(qint64 from, qint64 to, qint64 size) {
    static const QByteArray head = R"({"status":"200","pad":")", tail = R"("})";
    QByteArray bytes(to - from, 'x');
    for (qint64 i = from; i < std::min<qint64>(to, head.size()); ++i)
        bytes[i - from] = head[i];
    for (qint64 i = std::max(from, size - tail.size()); i < to; ++i)
        bytes[i - from] = tail[i - (size - tail.size())];
    return bytes;
}
} // namespace

AccountTestServer::AccountTestServer(const QString& certificateName) {
    const QString stem = QStringLiteral(TESSARO_ACCOUNT_CERTS "/") + certificateName;
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificateChain(QSslCertificate::fromPath(stem + QLatin1String(".pem")));
    tls.setPrivateKey(QSslKey(readFile(stem + QLatin1String("-key.pem")), QSsl::Rsa));
    server_.setSslConfiguration(tls);
    connect(&server_, &QTcpServer::pendingConnectionAvailable, this, [this] {
        while (auto* socket = qobject_cast<QSslSocket*>(server_.nextPendingConnection())) {
            connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QSslSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
            onReadyRead(socket);
        }
    });
}

QJsonObject AccountTestServer::users() {
    return QJsonDocument::fromJson(readFile(QStringLiteral(TESSARO_ACCOUNT_FIXTURES "/users.json")))
        .object();
}

QUrl AccountTestServer::baseUrl() const {
    return QUrl(QStringLiteral("https://127.0.0.1:%1/api/").arg(server_.serverPort()));
}

void AccountTestServer::onReadyRead(QSslSocket* socket) {
    // One request per connection ("Connection: close"): gather until the body is complete.
    const QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    socket->setProperty("buffer", buffer);
    const qsizetype bodyStart = buffer.indexOf("\r\n\r\n") + 4;
    static const QRegularExpression contentLength(QStringLiteral("\r\ncontent-length: *(\\d+)"),
                                                  QRegularExpression::CaseInsensitiveOption);
    const QString head = QString::fromLatin1(buffer.left(bodyStart));
    if (bodyStart < 4 || buffer.size() < bodyStart + contentLength.match(head).captured(1).toInt())
        return;
    received_.append(buffer);
    // "POST /api/test/reply/<type>/<body> HTTP/1.1": split before decoding, as the reply's type
    // and body may contain "/".
    const QList<QByteArray> target = buffer.left(buffer.indexOf(' ', 5)).split('?')[0].split('/');
    const QByteArray route = target.size() >= 6 && target[2] == "test" ? target[3] : "";
    QByteArray location;
    if (buffer.startsWith("POST /api/user/Login ")) {
        const QByteArray answer = login(buffer.mid(bodyStart), &location);
        write(socket, answer, "application/json; charset=utf-8", location);
    } else if (route == "reply") {
        write(socket, QByteArray::fromPercentEncoding(target[5]),
              QByteArray::fromPercentEncoding(target[4]));
    } else if (route == "redirect" && target.size() >= 7) {
        write(socket, {}, {}, QByteArray::fromPercentEncoding(target[5]) + target.mid(6).join('/'),
              target[4] + " Moved");
    } else if (route == "stream") {
        stream(socket, target[4].toLongLong(), target[5] == "chunked");
    }
}

void AccountTestServer::stream(QSslSocket* socket, qint64 size, bool chunked) {
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n" +
                  (chunked ? QByteArray("Transfer-Encoding: chunked")
                           : "Content-Length: " + QByteArray::number(size)) +
                  "\r\nConnection: close\r\n\r\n");
    // A piece whenever the connection has taken the last ones: as fast as the client reads.
    auto sent = std::make_shared<qint64>(0);
    const auto more = [socket, size, chunked, sent] {
        constexpr qint64 Piece = 64 * 1024;
        while (*sent < size && socket->encryptedBytesToWrite() + socket->bytesToWrite() < Piece) {
            const QByteArray piece = paddedJson(*sent, std::min(size, *sent + Piece), size);
            socket->write(chunked ? QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n"
                                  : piece);
            *sent += piece.size();
        }
        if (*sent == size) {
            *sent = size + 1; // finished once
            socket->write(chunked ? "0\r\n\r\n" : "");
            socket->disconnectFromHost();
        }
    };
    connect(socket, &QSslSocket::encryptedBytesWritten, this, more);
    more();
}

QByteArray AccountTestServer::login(const QByteArray& body, QByteArray* location) {
    const QJsonObject params = QJsonDocument::fromJson(body).object();
    const QJsonObject user = users().value(params.value(u"username").toString()).toObject();
    if (user.isEmpty() || user.value(u"password") != params.value(u"password"))
        return json({{"status", "1001"},
                     {"message", "The e-mail address or the password is not correct."}});
    *location = user.value(u"redirect").toString().toUtf8();
    return json({{"status", user.value(u"status").toString(QStringLiteral("200"))},
                 {"message", user.value(u"message")},
                 {"data", user.value(u"data")}}); // left out when the user has none
}
