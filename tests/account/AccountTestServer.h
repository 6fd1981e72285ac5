#pragma once
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QSslServer>
#include <QUrl>
#include <QUrlQuery>

// A small HTTPS account service on 127.0.0.1 for tests and demonstrations.
//   POST api/user/Login          users from fixtures/users.json
//   any  api/test/status/<code>  {"status": "<code>"}; test/numstatus/<code> gives a number
//   any  api/test/echo           the request as the service saw it
//   any  api/test/notjson, test/array, test/http/<code>, test/contenttype/<type>, test/slow
class AccountTestServer : public QObject {
    Q_OBJECT
public:
    struct Request {
        QByteArray method;
        QString path; // below the base path, e.g. "user/Login"
        QUrlQuery query;
        QHash<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;
    };

    // certificateName: "server", "wrong-host" or "untrusted" (files in the test certificates).
    explicit AccountTestServer(const QString& certificateName = QStringLiteral("server"),
                               QObject* parent = nullptr);
    bool listen(quint16 port = 0);
    quint16 port() const { return server_.serverPort(); }
    QUrl baseUrl() const;
    const QList<Request>& received() const { return received_; }
    void setSlowReplyMs(int ms) { slowReplyMs_ = ms; }

    static QString certificateDirectory();
    static QString authorityFile();
    static QStringList demoAccounts();

Q_SIGNALS:
    void requestReceived(const QString& path);

private:
    struct Reply {
        int status = 200;
        QByteArray contentType = "application/json";
        QByteArray body;
    };
    void onReadyRead(QSslSocket* socket);
    void answer(QSslSocket* socket, const Request& request);
    Reply login(const Request& request) const;
    static void write(QSslSocket* socket, const Reply& reply);

    QSslServer server_;
    QJsonObject users_;
    QList<Request> received_;
    int slowReplyMs_ = 5000;
};
