#include "AccountTestServer.h"
#include "FakeReachability.h"
#include "LoadingOverlay.h"
#include "NetAPIClicnet.h"
#include "Settings.h"
#include "SettingsKeys.h"
#include "TransientMessage.h"
#include "UserUtil.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QWidget>

#include <memory>

namespace {

constexpr int kWaitMs = 10000;
using Status = Reachability::Status;

struct Outcome {
    int calls = 0;
    std::optional<QJsonObject> reply;
    std::optional<ApiError> error;
};

struct ClientUnderTest {
    std::unique_ptr<NetAPIClicnet> client;
    FakeReachability* reachability = nullptr;
};

ClientUnderTest makeClient(const QUrl& baseUrl, bool trustTestAuthority = true,
                           Status status = Status::Reachable, int timeoutMs = 5000) {
    ClientConfiguration configuration;
    configuration.baseUrl = baseUrl;
    if (trustTestAuthority)
        configuration.extraAuthorities =
            QSslCertificate::fromPath(AccountTestServer::authorityFile());
    configuration.timeoutMs = timeoutMs;
    auto reachability = new FakeReachability(status);
    ClientUnderTest result{std::make_unique<NetAPIClicnet>(configuration, reachability),
                           reachability};
    reachability->setParent(result.client.get());
    return result;
}

NetAPIClicnet::Completion recordInto(std::shared_ptr<Outcome> outcome) {
    return
        [outcome](const std::optional<QJsonObject>& reply, const std::optional<ApiError>& error) {
            ++outcome->calls;
            outcome->reply = reply;
            outcome->error = error;
        };
}

// Sends one request and waits until the client has handled its reply.
std::shared_ptr<Outcome> roundTrip(NetAPIClicnet& client, const QString& path, int method,
                                   const QJsonObject& params = {}, QWidget* target = nullptr,
                                   bool loading = false) {
    auto outcome = std::make_shared<Outcome>();
    QSignalSpy finished(&client, &NetAPIClicnet::requestFinished);
    client.requestJsonDataWithPath(path, params, target, method, loading, recordInto(outcome));
    if (finished.isEmpty())
        finished.wait(kWaitMs);
    return outcome;
}

QString& capturedLog() {
    static QString log;
    return log;
}
void captureLog(QtMsgType, const QMessageLogContext&, const QString& message) {
    capturedLog() += message + u'\n';
}

} // namespace

class TestAccountClient : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        // Keep the tests away from the desktop's real secret store: no session bus.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tessaro-test-bus");
        QVERIFY(server_.listen());
        QVERIFY(wrongHostServer_.listen());
        QVERIFY(untrustedServer_.listen());
    }

    void init() {
        UserUtil::removeUserInfo();
        Settings::setValue(SettingsKeys::Password, QStringLiteral("untouched"));
        Settings::setValue(SettingsKeys::ErrorCode, QStringLiteral("untouched"));
    }

    void releaseServiceUrlIsHttpsWithOnePathSegment() {
        const QUrl url = ClientConfiguration::defaults().baseUrl;
        QCOMPARE(url.scheme(), QStringLiteral("https"));
        QVERIFY(!url.host().isEmpty());
        QVERIFY(url.path().endsWith(u'/'));
        QCOMPARE(url.path().count(u'/'), 2);
        QCOMPARE(url.resolved(QUrl(QStringLiteral("user/Login"))).path(),
                 url.path() + QStringLiteral("user/Login"));
        QCOMPARE(ClientConfiguration::defaults().timeoutMs, 25000);
    }

    void statusIsHandledPerMethod_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("method");
        QTest::addColumn<bool>("completionCalled");
        QTest::addColumn<QString>("errorCodeAfter");
        const QString untouched = QStringLiteral("untouched");
        QTest::newRow("POST 200") << "test/status/200" << 1 << true << untouched;
        QTest::newRow("POST 7000") << "test/status/7000" << 1 << false << "7000";
        QTest::newRow("POST 7001 as number") << "test/numstatus/7001" << 1 << false << "7001";
        QTest::newRow("POST 7002") << "test/status/7002" << 1 << false << "7002";
        QTest::newRow("POST refusal") << "test/status/1001" << 1 << true << untouched;
        QTest::newRow("POST 70021 is no session code")
            << "test/status/70021" << 1 << true << untouched;
        QTest::newRow("GET 7000 reaches caller") << "test/status/7000" << 0 << true << untouched;
        QTest::newRow("GET 7002 as number") << "test/numstatus/7002" << 0 << true << untouched;
        QTest::newRow("GET 200") << "test/status/200" << 0 << true << untouched;
    }
    void statusIsHandledPerMethod() {
        QFETCH(QString, path);
        QFETCH(int, method);
        QFETCH(bool, completionCalled);
        QFETCH(QString, errorCodeAfter);
        auto [client, reachability] = makeClient(server_.baseUrl());
        const auto outcome = roundTrip(*client, path, method);
        QCOMPARE(server_.received().last().path, path);
        QCOMPARE(outcome->calls, completionCalled ? 1 : 0);
        if (completionCalled) {
            QVERIFY(outcome->reply.has_value());
            QVERIFY(!outcome->error.has_value());
            QCOMPARE(outcome->reply->value(u"message").toString(),
                     QStringLiteral("status ") + path.section(u'/', -1));
        }
        QCOMPARE(Settings::stringValue(SettingsKeys::ErrorCode), errorCodeAfter);
        QCOMPARE(Settings::stringValue(SettingsKeys::Password),
                 errorCodeAfter == u"untouched" ? QStringLiteral("untouched") : QString());
        QVERIFY(Settings::contains(SettingsKeys::Password));
    }

    void unusableRepliesAreErrors_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("kind");
        QTest::newRow("not JSON") << "test/notjson" << int(ApiError::Kind::Body);
        QTest::newRow("JSON array") << "test/array" << int(ApiError::Kind::Body);
        QTest::newRow("HTTP 500") << "test/http/500" << int(ApiError::Kind::HttpStatus);
        QTest::newRow("HTTP 404") << "test/http/404" << int(ApiError::Kind::HttpStatus);
        QTest::newRow("image/png")
            << "test/contenttype/image%2Fpng" << int(ApiError::Kind::ContentType);
        QTest::newRow("application/xml")
            << "test/contenttype/application%2Fxml" << int(ApiError::Kind::ContentType);
        QTest::newRow("no content type") << "test/contenttype/" << int(ApiError::Kind::ContentType);
    }
    void unusableRepliesAreErrors() {
        QFETCH(QString, path);
        QFETCH(int, kind);
        for (int method : {0, 1}) {
            auto [client, reachability] = makeClient(server_.baseUrl());
            const auto outcome = roundTrip(*client, path, method);
            QCOMPARE(outcome->calls, 1);
            QVERIFY(!outcome->reply.has_value());
            QVERIFY(outcome->error.has_value());
            QCOMPARE(int(outcome->error->kind), kind);
        }
    }

    void acceptedContentTypes_data() {
        QTest::addColumn<QString>("contentType");
        for (const char* type : {"application/json", "text/plain", "text/html", "text/javascript",
                                 "text/json", "text/html; charset=utf-8", "Application/JSON"})
            QTest::newRow(type) << QString::fromLatin1(type);
    }
    void acceptedContentTypes() {
        QFETCH(QString, contentType);
        auto [client, reachability] = makeClient(server_.baseUrl());
        const auto outcome =
            roundTrip(*client,
                      QLatin1String("test/contenttype/") +
                          QString::fromLatin1(QUrl::toPercentEncoding(contentType)),
                      1);
        QCOMPARE(outcome->calls, 1);
        QVERIFY(!outcome->error.has_value());
        QCOMPARE(outcome->reply->value(u"message").toString(), QStringLiteral("typed"));
    }

    void slowReplyTimesOut() {
        server_.setSlowReplyMs(3000);
        auto [client, reachability] = makeClient(server_.baseUrl(), true, Status::Reachable, 200);
        const auto outcome = roundTrip(*client, QStringLiteral("test/slow"), 1);
        QCOMPARE(outcome->calls, 1);
        QVERIFY(!outcome->reply.has_value());
        QCOMPARE(outcome->error->kind, ApiError::Kind::Timeout);
    }

    void tlsIsVerified_data() {
        QTest::addColumn<QString>("which");
        QTest::addColumn<bool>("trustTestAuthority");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("trusted authority, right host") << "server" << true << true;
        QTest::newRow("authority not trusted") << "server" << false << false;
        QTest::newRow("unknown authority") << "untrusted" << true << false;
        QTest::newRow("wrong host name") << "wrong-host" << true << false;
    }
    void tlsIsVerified() {
        QFETCH(QString, which);
        QFETCH(bool, trustTestAuthority);
        QFETCH(bool, accepted);
        AccountTestServer& server = which == u"server"       ? server_
                                    : which == u"wrong-host" ? wrongHostServer_
                                                             : untrustedServer_;
        const qsizetype before = server.received().size();
        auto [client, reachability] = makeClient(server.baseUrl(), trustTestAuthority);
        const auto outcome = roundTrip(*client, QStringLiteral("test/status/200"), 1);
        QCOMPARE(outcome->calls, 1);
        QCOMPARE(outcome->reply.has_value(), accepted);
        if (!accepted) {
            QCOMPARE(outcome->error->kind, ApiError::Kind::Tls);
            QCOMPARE(server.received().size(), before); // nothing was sent in the clear
        }
    }

    void refusedConnectionIsATransportError() {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        auto [client, reachability] =
            makeClient(QUrl(QStringLiteral("https://127.0.0.1:%1/api/").arg(port)));
        const auto outcome = roundTrip(*client, QStringLiteral("test/status/200"), 1);
        QCOMPARE(outcome->calls, 1);
        QCOMPARE(outcome->error->kind, ApiError::Kind::Transport);
    }

    void postSendsCompactJsonAndGetSendsQuery() {
        auto [client, reachability] = makeClient(server_.baseUrl());
        const QJsonObject params{{"username", "a b@example.com"}, {"password", "p&q=r+s é"}};
        capturedLog().clear();
        const QtMessageHandler previous = qInstallMessageHandler(captureLog);
        roundTrip(*client, QStringLiteral("test/echo"), 1, params);
        qInstallMessageHandler(previous);
        QVERIFY(capturedLog().contains(QStringLiteral("a b@example.com")));
        QVERIFY(!capturedLog().contains(QStringLiteral("p&q=r+s")));
        const AccountTestServer::Request post = server_.received().last();
        QCOMPARE(post.method, QByteArray("POST"));
        QCOMPARE(post.body, QByteArray(R"({"password":"p&q=r+s é","username":"a b@example.com"})"));
        QCOMPARE(post.headers.value("content-type"), QByteArray("application/json; charset=utf-8"));
        QVERIFY(post.query.isEmpty());

        roundTrip(*client, QStringLiteral("test/echo"), 0, params);
        const AccountTestServer::Request get = server_.received().last();
        QCOMPARE(get.method, QByteArray("GET"));
        QCOMPARE(get.query.queryItemValue(QStringLiteral("password"), QUrl::FullyDecoded),
                 QStringLiteral("p&q=r+s é"));
        QCOMPARE(get.query.queryItemValue(QStringLiteral("username"), QUrl::FullyDecoded),
                 QStringLiteral("a b@example.com"));
        QCOMPARE(get.headers.value("content-type"), QByteArray("application/json; charset=utf-8"));
    }

    void authorizationOnlyWithAStoredToken_data() {
        QTest::addColumn<bool>("session");
        QTest::addColumn<QString>("token");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("no session") << false << QString() << QByteArray();
        QTest::newRow("session without token") << true << QString() << QByteArray();
        QTest::newRow("session with empty token") << true << "" << QByteArray();
        QTest::newRow("session with token") << true << "tok-123" << QByteArray("Bearer tok-123");
    }
    void authorizationOnlyWithAStoredToken() {
        QFETCH(bool, session);
        QFETCH(QString, token);
        QFETCH(QByteArray, expected);
        if (session) {
            UserModel user;
            if (!token.isNull())
                user.token = token;
            QVERIFY(UserUtil::savingUserInformation(user));
        }
        auto [client, reachability] = makeClient(server_.baseUrl());
        roundTrip(*client, QStringLiteral("test/echo"), 1);
        const AccountTestServer::Request request = server_.received().last();
        QCOMPARE(request.headers.contains("authorization"), !expected.isEmpty());
        QCOMPARE(request.headers.value("authorization"), expected);
    }

    void offlineRequestsWaitAndAreSentOnceInOrder() {
        QWidget window;
        window.resize(300, 200);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        auto [client, reachability] = makeClient(server_.baseUrl(), true, Status::NotReachable);
        QSignalSpy waiting(client.get(), &NetAPIClicnet::requestWaitingForNetwork);
        QSignalSpy finished(client.get(), &NetAPIClicnet::requestFinished);
        const qsizetype before = server_.received().size();
        auto first = std::make_shared<Outcome>();
        auto second = std::make_shared<Outcome>();
        client->requestJsonDataWithPath(QStringLiteral("test/status/201"), {}, nullptr, 1, false,
                                        recordInto(first));
        client->requestJsonDataWithPath(QStringLiteral("test/status/202"), {}, nullptr, 0, false,
                                        recordInto(second));
        QCOMPARE(waiting.size(), 2);
        QCOMPARE(client->waitingRequestCount(), 2);
        const auto messages = window.findChildren<TransientMessage*>();
        QVERIFY(!messages.isEmpty());
        QCOMPARE(messages.first()->text(), QStringLiteral("No Network"));
        QSignalSpy messageGone(messages.first(), &QObject::destroyed);
        QVERIFY(messageGone.wait(kWaitMs));

        reachability->set(Status::NotReachable); // still down: nothing happens
        QCOMPARE(client->waitingRequestCount(), 2);

        reachability->set(Status::Reachable);
        QCOMPARE(client->waitingRequestCount(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, kWaitMs);
        QCOMPARE(server_.received().size(), before + 2);
        QCOMPARE(server_.received()[before].path, QStringLiteral("test/status/201"));
        QCOMPARE(server_.received()[before + 1].path, QStringLiteral("test/status/202"));
        QCOMPARE(first->calls, 1);
        QCOMPARE(second->calls, 1);

        // Later changes of network status never send an answered request again.
        reachability->set(Status::NotReachable);
        reachability->set(Status::Reachable);
        reachability->set(Status::Unknown);
        QTest::qWait(200);
        QCOMPARE(server_.received().size(), before + 2);
        QCOMPARE(first->calls, 1);
        QCOMPARE(second->calls, 1);
    }

    void unknownReachabilitySendsAnyway() {
        auto [client, reachability] = makeClient(server_.baseUrl(), true, Status::Unknown);
        const auto outcome = roundTrip(*client, QStringLiteral("test/status/200"), 1);
        QCOMPARE(outcome->calls, 1);
        QVERIFY(outcome->reply.has_value());
    }

    void eachCallIsSentOnce() {
        auto [client, reachability] = makeClient(server_.baseUrl());
        QSignalSpy finished(client.get(), &NetAPIClicnet::requestFinished);
        const qsizetype before = server_.received().size();
        auto first = std::make_shared<Outcome>();
        auto second = std::make_shared<Outcome>();
        client->requestJsonDataWithPath(QStringLiteral("test/status/200"), {}, nullptr, 1, false,
                                        recordInto(first));
        client->requestJsonDataWithPath(QStringLiteral("test/status/200"), {}, nullptr, 1, false,
                                        recordInto(second));
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, kWaitMs);
        QCOMPARE(server_.received().size(), before + 2);
        QCOMPARE(first->calls, 1);
        QCOMPARE(second->calls, 1);
    }

    void loadingOverlayCoversTheTargetWhileTheRequestRuns_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("method");
        QTest::newRow("POST success") << "test/status/200" << 1;
        QTest::newRow("POST session ended") << "test/status/7001" << 1;
        QTest::newRow("POST failure") << "test/notjson" << 1;
        QTest::newRow("GET success") << "test/status/200" << 0;
        QTest::newRow("GET failure") << "test/http/500" << 0;
    }
    void loadingOverlayCoversTheTargetWhileTheRequestRuns() {
        QFETCH(QString, path);
        QFETCH(int, method);
        QWidget view;
        view.resize(320, 240);
        view.show();
        auto [client, reachability] = makeClient(server_.baseUrl());
        QSignalSpy finished(client.get(), &NetAPIClicnet::requestFinished);
        client->requestJsonDataWithPath(path, {}, &view, method, true, nullptr);
        auto* overlay = view.findChild<LoadingOverlay*>();
        QVERIFY(overlay);
        QCOMPARE(overlay->detailText(), QStringLiteral("Loading..."));
        QCOMPARE(overlay->geometry(), view.rect());
        QSignalSpy gone(overlay, &QObject::destroyed);
        QVERIFY(finished.wait(kWaitMs));
        QVERIFY(gone.wait(kWaitMs));
        QVERIFY(!view.findChild<LoadingOverlay*>());
    }

    void noOverlayWithoutLoadingFlag() {
        QWidget view;
        view.show();
        auto [client, reachability] = makeClient(server_.baseUrl());
        QSignalSpy sent(client.get(), &NetAPIClicnet::requestSent);
        client->requestJsonDataWithPath(QStringLiteral("test/status/200"), {}, &view, 1, false,
                                        nullptr);
        QCOMPARE(sent.size(), 1);
        QVERIFY(!view.findChild<LoadingOverlay*>());
    }

private:
    AccountTestServer server_{QStringLiteral("server")};
    AccountTestServer wrongHostServer_{QStringLiteral("wrong-host")};
    AccountTestServer untrustedServer_{QStringLiteral("untrusted")};
};

QTEST_MAIN(TestAccountClient)
#include "tst_account_client.moc"
