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

void write(QSslSocket* socket, const QByteArray& body, const QByteArray& type) {
    const QByteArray typeHeader = type.isEmpty() ? "" : "Content-Type: " + type + "\r\n";
    socket->write("HTTP/1.1 200 OK\r\n" + typeHeader + "Content-Length: " +
                  QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    socket->disconnectFromHost();
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
    if (buffer.startsWith("POST /api/user/Login "))
        write(socket, login(buffer.mid(bodyStart)), "application/json; charset=utf-8");
    else if (target.size() == 6 && target[2] == "test" && target[3] == "reply")
        write(socket, QByteArray::fromPercentEncoding(target[5]),
              QByteArray::fromPercentEncoding(target[4]));
}

QByteArray AccountTestServer::login(const QByteArray& body) {
    const QJsonObject params = QJsonDocument::fromJson(body).object();
    const QJsonObject user = users().value(params.value(u"username").toString()).toObject();
    if (user.isEmpty() || user.value(u"password") != params.value(u"password"))
        return json({{"status", "1001"},
                     {"message", "The e-mail address or the password is not correct."}});
    return json({{"status", user.value(u"status").toString(QStringLiteral("200"))},
                 {"message", user.value(u"message")},
                 {"data", user.value(u"data")}}); // left out when the user has none
}
