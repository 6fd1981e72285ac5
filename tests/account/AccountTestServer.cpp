#include "AccountTestServer.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSslKey>
#include <QSslSocket>
#include <QTimer>

namespace {
constexpr char kBasePath[] = "/api/";
constexpr int kMaxRequestBytes = 1 << 20;

QByteArray json(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QByteArray reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}
} // namespace

AccountTestServer::AccountTestServer(const QString& certificateName, QObject* parent)
    : QObject(parent) {
    const QString dir = certificateDirectory();
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificateChain(
        QSslCertificate::fromPath(dir + u'/' + certificateName + QLatin1String(".pem")));
    QFile keyFile(dir + u'/' + certificateName + QLatin1String("-key.pem"));
    if (keyFile.open(QIODevice::ReadOnly))
        tls.setPrivateKey(QSslKey(&keyFile, QSsl::Rsa));
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);
    server_.setSslConfiguration(tls);

    QFile fixture(QStringLiteral(TESSARO_ACCOUNT_FIXTURES) + QLatin1String("/users.json"));
    if (fixture.open(QIODevice::ReadOnly))
        users_ = QJsonDocument::fromJson(fixture.readAll()).object();

    connect(&server_, &QTcpServer::pendingConnectionAvailable, this, [this] {
        while (QTcpSocket* tcp = server_.nextPendingConnection()) {
            auto* socket = qobject_cast<QSslSocket*>(tcp);
            connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QSslSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
            onReadyRead(socket);
        }
    });
}

QString AccountTestServer::certificateDirectory() {
    return QStringLiteral(TESSARO_ACCOUNT_CERTS);
}

QString AccountTestServer::authorityFile() {
    return certificateDirectory() + QLatin1String("/test-ca.pem");
}

QStringList AccountTestServer::demoAccounts() {
    QFile fixture(QStringLiteral(TESSARO_ACCOUNT_FIXTURES) + QLatin1String("/users.json"));
    if (!fixture.open(QIODevice::ReadOnly))
        return {};
    QStringList accounts;
    const QJsonObject users = QJsonDocument::fromJson(fixture.readAll()).object();
    for (auto it = users.begin(); it != users.end(); ++it)
        accounts << it.key() + QLatin1String(" / ") +
                        it.value().toObject().value(u"password").toString();
    return accounts;
}

bool AccountTestServer::listen(quint16 port) {
    return server_.listen(QHostAddress::LocalHost, port);
}

QUrl AccountTestServer::baseUrl() const {
    return QUrl(QStringLiteral("https://127.0.0.1:%1%2").arg(port()).arg(QLatin1String(kBasePath)));
}

void AccountTestServer::onReadyRead(QSslSocket* socket) {
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    socket->setProperty("buffer", buffer);
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0 || buffer.size() > kMaxRequestBytes)
        return;
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    Request request;
    request.method = requestLine.value(0);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers.insert(lines[i].left(colon).trimmed().toLower(),
                                   lines[i].mid(colon + 1).trimmed());
    }
    const qsizetype length = request.headers.value("content-length", "0").toLongLong();
    if (buffer.size() < headerEnd + 4 + length)
        return;
    request.body = buffer.mid(headerEnd + 4, length);
    socket->setProperty("buffer", QByteArray());
    const QUrl target(QString::fromLatin1(requestLine.value(1)));
    request.path = target.path().mid(qsizetype(sizeof kBasePath) - 1);
    request.query = QUrlQuery(target);
    received_.append(request);
    Q_EMIT requestReceived(request.path);
    answer(socket, request);
}

void AccountTestServer::answer(QSslSocket* socket, const Request& request) {
    const QString& path = request.path;
    const QString tail = path.section(u'/', 2);
    Reply reply;
    if (path == u"user/Login" && request.method == "POST") {
        reply = login(request);
    } else if (path.startsWith(u"test/status/")) {
        reply.body = json({{"status", tail}, {"message", "status " + tail}});
    } else if (path.startsWith(u"test/numstatus/")) {
        reply.body = json({{"status", tail.toInt()}, {"message", "status " + tail}});
    } else if (path == u"test/echo") {
        QJsonObject query;
        for (const auto& [key, value] : request.query.queryItems(QUrl::FullyDecoded))
            query.insert(key, value);
        QJsonObject headers;
        for (auto it = request.headers.begin(); it != request.headers.end(); ++it)
            headers.insert(QString::fromLatin1(it.key()), QString::fromUtf8(it.value()));
        reply.body = json({{"status", "200"},
                           {"method", QString::fromLatin1(request.method)},
                           {"query", query},
                           {"headers", headers},
                           {"body", QString::fromUtf8(request.body)}});
    } else if (path == u"test/notjson") {
        reply.body = "<html>this is not JSON</html>";
    } else if (path == u"test/array") {
        reply.body = "[1, 2, 3]";
    } else if (path.startsWith(u"test/http/")) {
        reply.status = tail.toInt();
        reply.body = json({{"status", "200"}, {"message", "HTTP " + tail}});
    } else if (path.startsWith(u"test/contenttype/")) {
        reply.contentType = QUrl::fromPercentEncoding(tail.toLatin1()).toLatin1();
        reply.body = json({{"status", "200"}, {"message", "typed"}});
    } else if (path == u"test/slow") {
        QTimer::singleShot(slowReplyMs_, socket, [socket] {
            write(socket, {200, "application/json", json({{"status", "200"}})});
        });
        return;
    } else {
        reply.status = 404;
        reply.body = json({{"status", "404"}, {"message", "no such endpoint"}});
    }
    write(socket, reply);
}

AccountTestServer::Reply AccountTestServer::login(const Request& request) const {
    const QJsonObject params = QJsonDocument::fromJson(request.body).object();
    const QJsonObject user = users_.value(params.value(u"username").toString()).toObject();
    if (user.isEmpty() || user.value(u"password") != params.value(u"password"))
        return {200, "application/json",
                json({{"status", "1001"},
                      {"message", "The e-mail address or the password is not correct."}})};
    QJsonObject envelope{{"status", user.value(u"status").toString(QStringLiteral("200"))},
                         {"message", user.value(u"message")}};
    if (user.contains(u"data"))
        envelope.insert(u"data", user.value(u"data"));
    return {200, "application/json; charset=utf-8", json(envelope)};
}

void AccountTestServer::write(QSslSocket* socket, const Reply& reply) {
    QByteArray head =
        "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reasonPhrase(reply.status) + "\r\n";
    if (!reply.contentType.isEmpty())
        head += "Content-Type: " + reply.contentType + "\r\n";
    head += "Content-Length: " + QByteArray::number(reply.body.size()) +
            "\r\nConnection: close\r\n\r\n";
    socket->write(head + reply.body);
    socket->disconnectFromHost();
}
