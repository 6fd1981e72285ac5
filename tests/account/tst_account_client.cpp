#include "AccountTestServer.h"
#include "ApiClient.h"
#include "AppPaths.h"
#include "TestFiles.h"
#include "UserUtil.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

namespace {
constexpr int kWaitMs = 10000;
using Status = Reachability::Status;
constexpr int kAccepted = -1, kAbsorbed = -2;

// A network status the test sets by hand.
class FakeReachability : public Reachability {
public:
    Status current = Status::Reachable;
    Status status() const override { return current; }
    void set(Status status) { Q_EMIT statusChanged(current = status); }
};

struct Outcome {
    int calls = 0;
    std::optional<QJsonObject> reply;
    int result = kAbsorbed; // kAccepted or an ApiError::Kind once the completion ran
};

// A client of one test service whose network status the test sets.
struct Client {
    FakeReachability reachability;
    ApiClient api;

    explicit Client(const QUrl& baseUrl, bool trustTestAuthority = true, int timeoutMs = 5000)
        : api({baseUrl,
               trustTestAuthority ? QSslCertificate::fromPath(AccountTestServer::authorityFile())
                                  : QList<QSslCertificate>(),
               timeoutMs},
              &reachability) {}
    // Sends; waits until the client has handled the reply unless told not to.
    std::shared_ptr<Outcome> send(const QByteArray& body, int method = 1,
                                  const QByteArray& type = "application/json", bool wait = true) {
        return sendTo(body.isNull() ? QStringLiteral("test/never") : replyPath(body, type), method,
                      wait);
    }
    static QString replyPath(const QByteArray& body, const QByteArray& type = "application/json") {
        return QString::fromLatin1("test/reply/" + type.toPercentEncoding() + '/' +
                                   body.toPercentEncoding());
    }
    std::shared_ptr<Outcome> sendTo(const QString& path, int method = 1, bool wait = true,
                                    const QJsonObject& parameters = {}) {
        auto outcome = std::make_shared<Outcome>();
        QSignalSpy finished(&api, &ApiClient::requestFinished);
        api.requestJsonDataWithPath(path, parameters, nullptr, method, false,
                                    [outcome](const auto& reply, const auto& error) {
                                        ++outcome->calls;
                                        outcome->reply = reply;
                                        outcome->result = error ? int(error->kind) : kAccepted;
                                    });
        if (wait && finished.isEmpty())
            finished.wait(kWaitMs);
        return outcome;
    }
};
const QByteArray kOk = R"({"status":"200"})";
} // namespace

class TestAccountClient : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        // Keep the tests away from the desktop's real secret store: no session bus.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tessaro-test-bus");
        QVERIFY(server_.listen() && wrongHost_.listen() && untrusted_.listen() && other_.listen());
    }

    void init() {
        UserUtil::removeUserInfo();
        QSettings().setValue("password", QStringLiteral("untouched"));
        QSettings().setValue("errorCode", QStringLiteral("untouched"));
    }

    // Session-ended codes on POST replies are absorbed: no completion, password emptied, code
    // kept; GET replies reach the caller. Unusable replies are errors; a null body asks for a
    // reply that never comes.
    void replyIsHandled_data() {
        QTest::addColumn<int>("method");
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("result"); // kAccepted, kAbsorbed or an ApiError::Kind
        const QByteArray json = "application/json";
        const int body = int(ApiError::Kind::Body), type = int(ApiError::Kind::ContentType);
        const auto status = [](const char* s) { return R"({"status":)" + QByteArray(s) + '}'; };
        QTest::newRow("POST 200") << 1 << json << status(R"("200","x":1)") << kAccepted;
        QTest::newRow("POST 7000") << 1 << json << status(R"("7000")") << kAbsorbed;
        QTest::newRow("POST 7001 number") << 1 << json << status("7001") << kAbsorbed;
        QTest::newRow("POST 7002") << 1 << json << status(R"("7002")") << kAbsorbed;
        QTest::newRow("POST refusal") << 1 << json << status(R"("1001")") << kAccepted;
        QTest::newRow("POST 70021") << 1 << json << status(R"("70021")") << kAccepted;
        QTest::newRow("GET 7000") << 0 << json << status(R"("7000")") << kAccepted;
        QTest::newRow("GET 7002 number") << 0 << json << status("7002") << kAccepted;
        for (int method : {0, 1}) {
            const QByteArray m = method ? "POST " : "GET ";
            QTest::newRow(m + "not JSON") << method << json << QByteArray("<html/>") << body;
            QTest::newRow(m + "JSON array") << method << json << QByteArray("[1, 2]") << body;
            for (const char* refused : {"image/png", "application/xml", ""})
                QTest::addRow("%s type '%s'", m.constData(), refused)
                    << method << QByteArray(refused) << kOk << type;
            for (const char* accepted : {"text/plain", "text/html; charset=utf-8",
                                         "text/javascript", "text/json", "Application/JSON"})
                QTest::newRow(m + accepted) << method << QByteArray(accepted) << kOk << kAccepted;
            QTest::newRow(m + "slower than the time-out")
                << method << json << QByteArray() << int(ApiError::Kind::Timeout);
        }
    }
    void replyIsHandled() {
        QFETCH(int, method);
        QFETCH(QByteArray, type);
        QFETCH(QByteArray, body);
        QFETCH(int, result);
        Client client(server_.baseUrl(), true, body.isNull() ? 300 : 5000);
        const auto outcome = client.send(body, method, type);
        const QJsonObject sent = QJsonDocument::fromJson(body).object();
        QVERIFY(server_.received().last().startsWith(method ? "POST " : "GET "));
        QCOMPARE(outcome->calls, result == kAbsorbed ? 0 : 1);
        QCOMPARE(outcome->reply, result == kAccepted ? std::optional(sent) : std::nullopt);
        QCOMPARE(outcome->result, result);
        const QString code = sent.value(u"status").toVariant().toString();
        const bool absorbed = result == kAbsorbed;
        QCOMPARE(QSettings().value("errorCode").toString(), absorbed ? code : "untouched");
        QCOMPARE(QSettings().value("password").toString(), absorbed ? "" : "untouched");
        QVERIFY(QSettings().contains("password"));
    }

    // Only the test service with the test authority trusted is accepted; the others fail
    // before anything is sent.
    void connectionsAreVerified_data() {
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<bool>("trust");
        QTest::addColumn<int>("error"); // kAccepted or an ApiError::Kind
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QUrl nobody(QStringLiteral("https://127.0.0.1:%1/api/").arg(closed.serverPort()));
        const int tls = int(ApiError::Kind::Tls);
        QTest::newRow("trusted, right host") << server_.baseUrl() << true << kAccepted;
        QTest::newRow("authority not trusted") << server_.baseUrl() << false << tls;
        QTest::newRow("unknown authority") << untrusted_.baseUrl() << true << tls;
        QTest::newRow("wrong host name") << wrongHost_.baseUrl() << true << tls;
        QTest::newRow("nobody listening") << nobody << true << int(ApiError::Kind::Transport);
    }
    void connectionsAreVerified() {
        QFETCH(QUrl, url);
        QFETCH(bool, trust);
        QFETCH(int, error);
        const auto receivedByAll = [this] {
            return server_.received().size() + wrongHost_.received().size() +
                   untrusted_.received().size();
        };
        const qsizetype before = receivedByAll();
        const auto outcome = Client(url, trust).send(kOk);
        QCOMPARE(outcome->calls, 1);
        QCOMPARE(outcome->result, error);
        QCOMPARE(receivedByAll(), before + (error == kAccepted ? 1 : 0));
    }

    // A redirect is never followed, not even on the service's own address: the other address
    // gets neither the token nor the password. A reply longer than the limit is cut short
    // however it is framed, before much more than the limit has arrived.
    void unsafeRepliesAreRefused_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("result"); // kAccepted or an ApiError::Kind
        const QString other = QString::fromLatin1(other_.baseUrl().toEncoded().toPercentEncoding());
        const QString own = QString::fromLatin1(server_.baseUrl().toEncoded().toPercentEncoding());
        const int redirect = int(ApiError::Kind::Redirect),
                  tooLarge = int(ApiError::Kind::TooLarge);
        for (const char* code : {"307", "302", "308"})
            QTest::addRow("%s to another address", code)
                << QStringLiteral("test/redirect/%1/%2/").arg(code, other) + Client::replyPath(kOk)
                << redirect;
        QTest::newRow("307 to the same address")
            << QStringLiteral("test/redirect/307/%1/").arg(own) + Client::replyPath(kOk)
            << redirect;
        const qint64 limit = ApiClient::MaxReplyBytes;
        for (const char* framing : {"chunked", "length"}) {
            QTest::addRow("%s, the limit", framing)
                << QStringLiteral("test/stream/%1/%2").arg(limit).arg(framing) << kAccepted;
            QTest::addRow("%s, one byte more", framing)
                << QStringLiteral("test/stream/%1/%2").arg(limit + 1).arg(framing) << tooLarge;
            QTest::addRow("%s, 2 GiB", framing)
                << QStringLiteral("test/stream/%1/%2").arg(qint64(2) << 30).arg(framing)
                << tooLarge;
        }
    }
    void unsafeRepliesAreRefused() {
        QFETCH(QString, path);
        QFETCH(int, result);
        UserModel user;
        user.token = QStringLiteral("tok-123");
        QVERIFY(UserUtil::savingUserInformation(user));
        const qsizetype otherBefore = other_.received().size();
        const qint64 before = TestFiles::startPeakMemory();
        const auto outcome = Client(server_.baseUrl()).sendTo(path);
        const qint64 growth = TestFiles::peakMemory() - before;
        QCOMPARE(outcome->calls, 1);
        QCOMPARE(outcome->result, result);
        QCOMPARE(other_.received().size(), otherBefore);
        // Not the limit itself: Qt's network thread reads on until the abort is handled here,
        // where the server runs too. Read to the end, 2 GiB grow memory by about 1 GB.
        QVERIFY2(growth < 128 * ApiClient::MaxReplyBytes, qPrintable(QString::number(growth)));
    }

    // GET parameters travel in the query: numbers as people write them, never 1.23457e+06.
    void getQueryNumbers_data() {
        QTest::addColumn<QJsonValue>("value");
        QTest::addColumn<QByteArray>("query");
        const std::pair<QJsonValue, const char*> rows[] = {
            {1234567, "n=1234567"},
            {-42, "n=-42"},
            {9007199254740992.0, "n=9007199254740992"},
            {1234567.125, "n=1234567.125"},
            {0.0000001, "n=0.0000001"},
            {QStringLiteral("1e6"), "n=1e6"}};
        for (const auto& [value, query] : rows)
            QTest::newRow(query) << value << QByteArray(query);
    }
    void getQueryNumbers() {
        QFETCH(QJsonValue, value);
        QFETCH(QByteArray, query);
        Client(server_.baseUrl())
            .sendTo(Client::replyPath(kOk), ApiClient::Get, true, {{"n", value}});
        const QByteArray line = server_.received().last().split('\r').first();
        QVERIFY2(line.contains('?' + query + ' '), line.constData());
    }

    // Every request made offline waits, is sent once in order when the network returns, and is
    // never sent again on later changes. Unknown reachability sends at once.
    void offlineRequestsWaitAndAreSentOnce() {
        Client client(server_.baseUrl());
        client.reachability.current = Status::NotReachable;
        QSignalSpy finished(&client.api, &ApiClient::requestFinished);
        const qsizetype before = server_.received().size();
        const auto first = client.send(R"({"status":"201"})", 1, "text/json", false);
        const auto second = client.send(R"({"status":"202"})", 0, "text/json", false);
        client.reachability.set(Status::NotReachable);
        QCOMPARE(client.api.waitingRequestCount(), 2);

        client.reachability.set(Status::Reachable);
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, kWaitMs);
        QVERIFY(server_.received()[before].startsWith("POST "));
        QVERIFY(server_.received()[before + 1].startsWith("GET "));
        for (Status status : {Status::NotReachable, Status::Reachable, Status::Unknown})
            client.reachability.set(status);
        QTest::qWait(200);
        QCOMPARE(server_.received().size(), before + 2);
        QCOMPARE(first->calls + second->calls, 2);
        QCOMPARE(second->reply->value(u"status").toString(), QStringLiteral("202"));

        client.reachability.current = Status::Unknown;
        QCOMPARE(client.send(kOk)->calls, 1);
        QCOMPARE(server_.received().size(), before + 3);
    }

    // The session file: what is saved reads back the same and its token goes with every
    // request; a damaged file means no session, and no Authorization header.
    void sessionStore_data() {
        QTest::addColumn<QByteArray>("bytes"); // written over the saved file unless null
        QTest::addColumn<QString>("token");
        QTest::newRow("round trip") << QByteArray() << "tok";
        QTest::newRow("empty token") << QByteArray() << "";
        QTest::newRow("empty") << QByteArray("") << "tok";
        QTest::newRow("random bytes") << QByteArray("\x01\x02garbage\xff\xfe", 12) << "tok";
        QTest::newRow("truncated") << UserUtil::encodeUserModel(UserModel{}).left(20) << "tok";
        QTest::newRow("xml plist") << QByteArray("<?xml version=\"1.0\"?><plist/>") << "tok";
        // A well-formed binary plist whose top object is an empty array, not a record.
        QTest::newRow("not a record")
            << QByteArray("bplist00\xa0\x08\0\0\0\0\0\0\x01\x01\0\0\0\0\0\0\0\x01"
                          "\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x09",
                          42)
            << "tok";
    }
    void sessionStore() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, token);
        const bool damaged = !bytes.isNull();
        UserModel user = UserModel::fromJson(
            QJsonDocument::fromJson(
                R"({"createDate":"2023-04-01","userName":"Zoë","downloadCount":12,)"
                R"("registerType":"2"})")
                .object());
        user.token = token;
        QVERIFY(UserUtil::savingUserInformation(user));
        if (damaged)
            TestFiles::writeBytes(UserUtil::sessionFilePath(), bytes);
        else
            QCOMPARE(TestFiles::head(UserUtil::sessionFilePath(), 8), QByteArray("bplist00"));
        QCOMPARE(UserUtil::hasLogin(), !damaged);
        QCOMPARE(UserUtil::storedUser(), damaged ? std::nullopt : std::optional(user));
        Client(server_.baseUrl()).send(kOk);
        const QByteArray& request = server_.received().last();
        const bool sent = !damaged && !token.isEmpty();
        QCOMPARE(request.toLower().contains("\r\nauthorization:"), sent);
        QVERIFY(!sent || request.contains("\r\nAuthorization: Bearer tok\r\n"));
    }

    // The session file holds the bearer token: only its owner may read it, whatever the umask,
    // in a home only its owner may enter.
    void sessionFileIsPrivate() {
        {
            const TestFiles::UmaskScope open(0);
            QVERIFY(AppPaths::preparePrivateHome()); // as both programs do at start
            QVERIFY(UserUtil::savingUserInformation(UserModel{}));
        }
        const QString session = UserUtil::sessionFilePath();
        QCOMPARE(TestFiles::permissionBits(session) & 0777, 0600);
        QCOMPARE(TestFiles::permissionBits(QFileInfo(session).path()) & 0777, 0700);
    }

private:
    AccountTestServer server_;
    AccountTestServer wrongHost_{QStringLiteral("wrong-host")};
    AccountTestServer untrusted_{QStringLiteral("untrusted")};
    AccountTestServer other_; // a second trusted address
};

QTEST_MAIN(TestAccountClient)
#include "tst_account_client.moc"
