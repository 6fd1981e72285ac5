#pragma once
#include <QJsonObject>
#include <QSslServer>
#include <QUrl>

// A small HTTPS account service on 127.0.0.1 for tests and demonstrations.
//   POST user/Login                  users from fixtures/users.json
//   any  test/reply/<type>/<body>    answers <body> as <type>, both percent-encoded
//   any  test/redirect/<code>/<base>/<rest>   answers <code> with Location <base><rest>, the
//                                    base percent-encoded
//   any  test/stream/<n>/<framing>   a JSON object of n bytes, sent as the client takes it,
//                                    "chunked" or with its "length"
//   anything else                    never answered: slower than any time-out
class AccountTestServer : public QObject {
    Q_OBJECT
public:
    // certificateName: "server", "wrong-host" or "untrusted" (files in certs/).
    explicit AccountTestServer(const QString& certificateName = QStringLiteral("server"));
    bool listen(quint16 port = 0) { return server_.listen(QHostAddress::LocalHost, port); }
    QUrl baseUrl() const;
    // The requests as they arrived: request line, headers, body.
    const QList<QByteArray>& received() const { return received_; }

    static QString authorityFile() { return QStringLiteral(TESSARO_ACCOUNT_CERTS "/test-ca.pem"); }
    static QJsonObject users(); // e-mail -> {password, message, status, data}

private:
    void onReadyRead(QSslSocket* socket);
    static QByteArray login(const QByteArray& body, QByteArray* location);
    void stream(QSslSocket* socket, qint64 size, bool chunked);

    QSslServer server_;
    QList<QByteArray> received_;
};
