#include "AccountActions.h"
#include "AccountTestServer.h"
#include "LoginWindowController.h"
#include "MyProfileWindowController.h"
#include "NetAPIService.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "Settings.h"
#include "SettingsKeys.h"
#include "UserUtil.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

constexpr int kWaitMs = 10000;

// Counts the notifications of one name and keeps the last object.
class NotificationProbe : public QObject {
public:
    explicit NotificationProbe(const char* name) {
        NotificationCenter::defaultCenter().observe(QString::fromLatin1(name), this,
                                                    [this](const QVariant& object) {
                                                        ++count;
                                                        lastObject = object.value<QObject*>();
                                                    });
    }
    int count = 0;
    QObject* lastObject = nullptr;
};

// Receives the web addresses the login window asks the desktop to open.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void openUrl(const QUrl& url) { opened << url; }
};

// Runs once the next modal window is up, then closes it, so an exec() in the code under
// test returns. Gives up after a bounded time.
void inspectNextModal(std::function<void(QWidget*)> inspect) {
    auto* poll = new QTimer(qApp);
    auto attempts = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, attempts, inspect] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal && ++*attempts < 250)
            return;
        poll->deleteLater();
        inspect(modal);
        if (modal)
            modal->close();
    });
    poll->start(20);
}

void fill(LoginWindowController& window, const QString& email, const QString& password,
          bool agree) {
    window.usernameField()->setText(email);
    window.passwordField()->setText(password);
    window.checkAgree()->setChecked(agree);
}

UserModel sampleUser() {
    UserModel user;
    user.userName = QStringLiteral("Carol");
    user.token = QStringLiteral("carol-token");
    return user;
}

} // namespace

class TestAccountWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        // Keep the tests away from the desktop's real secret store: no session bus.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tessaro-test-bus");
        QVERIFY(server_.listen());
        ClientConfiguration configuration;
        configuration.baseUrl = server_.baseUrl();
        configuration.extraAuthorities =
            QSslCertificate::fromPath(AccountTestServer::authorityFile());
        QVERIFY(NetAPIClicnet::setSharedConfiguration(configuration));
        QCOMPARE(NetAPIClicnet::sharedJsonClient().baseUrl(), server_.baseUrl());
        QVERIFY(!NetAPIClicnet::setSharedConfiguration(ClientConfiguration::defaults()));
    }

    void init() {
        UserUtil::removeUserInfo();
        Settings::setValue(SettingsKeys::Username, QStringLiteral("previous@example.com"));
    }

    void inputChecksRunInOrderAndSendNothing_data() {
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("agree");
        QTest::addColumn<QString>("alert");
        const QString noEmail = QStringLiteral("The email address is empty");
        const QString noPassword = QStringLiteral("The password address is empty");
        const QString noAgreement =
            QStringLiteral("Please read and confirm our Privacy Policy before login your account.");
        QTest::newRow("all empty") << ""
                                   << "" << false << noEmail;
        QTest::newRow("only password") << ""
                                       << "pw" << true << noEmail;
        QTest::newRow("no password") << "a@example.com"
                                     << "" << true << noPassword;
        QTest::newRow("no password, no agreement") << "a@example.com"
                                                   << "" << false << noPassword;
        QTest::newRow("no agreement") << "a@example.com"
                                      << "pw" << false << noAgreement;
    }
    void inputChecksRunInOrderAndSendNothing() {
        QFETCH(QString, email);
        QFETCH(QString, password);
        QFETCH(bool, agree);
        QFETCH(QString, alert);
        LoginWindowController window;
        window.show();
        fill(window, email, password, agree);
        QSignalSpy alerts(&window, &LoginWindowController::alertShown);
        QSignalSpy sent(&NetAPIClicnet::sharedJsonClient(), &NetAPIClicnet::requestSent);
        const qsizetype before = server_.received().size();
        QTest::mouseClick(window.loginBtn(), Qt::LeftButton);
        QCOMPARE(alerts.size(), 1);
        QCOMPARE(alerts[0][0].toString(), alert);
        QCOMPARE(alerts[0][1].toInt(), 1);
        QVERIFY(window.currentAlert());
        QCOMPARE(window.currentAlert()->text(), alert);
        QCOMPARE(window.currentAlert()->buttons().size(), 1);
        QTest::qWait(50);
        QCOMPARE(sent.size(), 0);
        QCOMPARE(server_.received().size(), before);
        window.currentAlert()->button(QMessageBox::Ok)->click();
        QVERIFY(window.isVisible());
    }

    void successfulLoginKeepsTheSessionButNoPlainPassword() {
        NotificationProbe loggedIn(NotificationNames::LoginNotifi);
        NotificationProbe closed(NotificationNames::ChangeRatios);
        // What the shell does with the notification: re-read the login state.
        bool menuShowsLoggedIn = false;
        QObject shell;
        NotificationCenter::defaultCenter().observe(
            QString::fromLatin1(NotificationNames::LoginNotifi), &shell,
            [&menuShowsLoggedIn](const QVariant&) {
                menuShowsLoggedIn = AccountActions::hasLogin();
            });

        LoginWindowController window;
        window.show();
        const QString password = QStringLiteral("correct horse");
        fill(window, QStringLiteral("alice@example.com"), password, true);
        QSignalSpy alerts(&window, &LoginWindowController::alertShown);
        QTest::mouseClick(window.loginBtn(), Qt::LeftButton);
        QVERIFY(alerts.wait(kWaitMs));

        const AccountTestServer::Request sent = server_.received().last();
        QCOMPARE(sent.path, QStringLiteral("user/Login"));
        QCOMPARE(sent.body,
                 QByteArray(R"({"password":"correct horse","username":"alice@example.com"})"));
        QCOMPARE(alerts[0][0].toString(), QStringLiteral("Login successful"));
        QCOMPARE(alerts[0][1].toInt(), 0);
        QCOMPARE(loggedIn.count, 1);
        QCOMPARE(loggedIn.lastObject, &window);
        QVERIFY(menuShowsLoggedIn);

        QVERIFY(QFile::exists(UserUtil::sessionFilePath()));
        const auto user = UserUtil::getUserInfor();
        QVERIFY(user);
        QCOMPARE(user->userName, std::optional<QString>(QStringLiteral("Alice")));
        QCOMPARE(user->token, std::optional<QString>(QStringLiteral("alice-token-1")));
        QCOMPARE(user->downloadCount, 12);
        QCOMPARE(user->registerType, std::optional<QString>(QStringLiteral("3")));
        QVERIFY(!user->downloadUrl);
        QCOMPARE(Settings::stringValue(SettingsKeys::Username),
                 QStringLiteral("alice@example.com"));

        QSettings settings;
        settings.sync();
        QFile settingsFile(settings.fileName());
        QVERIFY(settingsFile.open(QIODevice::ReadOnly));
        const QByteArray stored = settingsFile.readAll();
        QVERIFY(stored.contains("alice@example.com"));
        QVERIFY(!stored.contains(password.toUtf8()));
        QVERIFY(!stored.contains("correct"));

        QVERIFY(window.currentAlert());
        window.currentAlert()->button(QMessageBox::Ok)->click();
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), kWaitMs);
        QCOMPARE(closed.count, 1);
        QCOMPARE(closed.lastObject, &window);
    }

    void refusalShowsTheServiceTextAndKeepsTheWindowOpen() {
        NotificationProbe loggedIn(NotificationNames::LoginNotifi);
        LoginWindowController window;
        window.show();
        fill(window, QStringLiteral("alice@example.com"), QStringLiteral("wrong"), true);
        QSignalSpy alerts(&window, &LoginWindowController::alertShown);
        QTest::mouseClick(window.loginBtn(), Qt::LeftButton);
        QVERIFY(alerts.wait(kWaitMs));
        QCOMPARE(alerts[0][0].toString(),
                 QStringLiteral("The e-mail address or the password is not correct."));
        QCOMPARE(alerts[0][1].toInt(), 1);
        window.currentAlert()->button(QMessageBox::Ok)->click();
        QTest::qWait(50);
        QVERIFY(window.isVisible());
        QCOMPARE(window.usernameField()->text(), QStringLiteral("alice@example.com"));
        QCOMPARE(window.passwordField()->text(), QStringLiteral("wrong"));
        QVERIFY(!UserUtil::hasLogin());
        QCOMPARE(loggedIn.count, 0);
        QCOMPARE(Settings::stringValue(SettingsKeys::Username),
                 QStringLiteral("previous@example.com"));
    }

    void loginThatCannotBeSavedIsNotReportedAsSuccess() {
        // A directory where the session file belongs makes every write fail.
        const QString sessionPath = UserUtil::sessionFilePath();
        QVERIFY(QDir().mkpath(sessionPath));
        NotificationProbe loggedIn(NotificationNames::LoginNotifi);
        LoginWindowController window;
        window.show();
        fill(window, QStringLiteral("bob@example.com"), QStringLiteral("hunter2"), true);
        QSignalSpy alerts(&window, &LoginWindowController::alertShown);
        QTest::mouseClick(window.loginBtn(), Qt::LeftButton);
        const bool alerted = alerts.wait(kWaitMs);
        QDir(sessionPath).removeRecursively();
        QVERIFY(alerted);
        QCOMPARE(alerts[0][1].toInt(), 1);
        QVERIFY(alerts[0][0].toString().contains(sessionPath));
        QCOMPARE(loggedIn.count, 0);
        QCOMPARE(Settings::stringValue(SettingsKeys::Username),
                 QStringLiteral("previous@example.com"));
        window.currentAlert()->button(QMessageBox::Ok)->click();
        QVERIFY(window.isVisible());
    }

    void transportFailureShowsFaild() {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        ClientConfiguration configuration;
        configuration.baseUrl =
            QUrl(QStringLiteral("https://127.0.0.1:%1/api/").arg(closed.serverPort()));
        closed.close();
        NetAPIClicnet client(configuration);
        NetAPIService service(client);
        LoginWindowController window(nullptr, &service);
        window.show();
        fill(window, QStringLiteral("alice@example.com"), QStringLiteral("correct horse"), true);
        QSignalSpy alerts(&window, &LoginWindowController::alertShown);
        QTest::mouseClick(window.loginBtn(), Qt::LeftButton);
        QVERIFY(alerts.wait(kWaitMs));
        QCOMPARE(alerts[0][0].toString(), QStringLiteral("Faild"));
        QCOMPARE(alerts[0][1].toInt(), 1);
        QVERIFY(!UserUtil::hasLogin());
    }

    void sessionEndedReplyIsSilentAndForgetsThePassword() {
        Settings::setValue(SettingsKeys::Password, QStringLiteral("left over"));
        LoginWindowController window;
        window.show();
        fill(window, QStringLiteral("expired@example.com"), QStringLiteral("anything"), true);
        QSignalSpy alerts(&window, &LoginWindowController::alertShown);
        QSignalSpy finished(&NetAPIClicnet::sharedJsonClient(), &NetAPIClicnet::requestFinished);
        QTest::mouseClick(window.loginBtn(), Qt::LeftButton);
        QVERIFY(finished.wait(kWaitMs));
        QCOMPARE(alerts.size(), 0);
        QCOMPARE(Settings::stringValue(SettingsKeys::Password), QString());
        QVERIFY(Settings::contains(SettingsKeys::Password));
        QCOMPARE(Settings::stringValue(SettingsKeys::ErrorCode), QStringLiteral("7001"));
        QVERIFY(!UserUtil::hasLogin());
    }

    void replyAfterTheWindowIsGoneIsStillHandled() {
        NotificationProbe loggedIn(NotificationNames::LoginNotifi);
        auto window = std::make_unique<LoginWindowController>();
        window->show();
        fill(*window, QStringLiteral("bob@example.com"), QStringLiteral("hunter2"), true);
        QTest::mouseClick(window->loginBtn(), Qt::LeftButton);
        window.reset();
        QTRY_COMPARE_WITH_TIMEOUT(loggedIn.count, 1, kWaitMs);
        QCOMPARE(loggedIn.lastObject, nullptr);
        QVERIFY(UserUtil::hasLogin());
        QCOMPARE(Settings::stringValue(SettingsKeys::Username), QStringLiteral("bob@example.com"));
        QMessageBox* alert = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
                alert = box;
        QVERIFY(alert);
        QCOMPARE(alert->text(), QStringLiteral("Welcome back, Bob"));
        alert->button(QMessageBox::Ok)->click();
    }

    void linksOpenTheWebSite() {
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "openUrl");
        LoginWindowController window;
        window.show();
        QTest::mouseClick(window.linkButton(0), Qt::LeftButton);
        QTest::mouseClick(window.linkButton(1), Qt::LeftButton);
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QCOMPARE(recorder.opened.size(), 2);
        QCOMPARE(recorder.opened[0], LoginWindowController::webSiteUrl(0));
        QCOMPARE(recorder.opened[1], LoginWindowController::webSiteUrl(1));
        QVERIFY(recorder.opened[0] != recorder.opened[1]);
        QCOMPARE(window.linkButton(0)->property("tag").toInt(), 0);
        QVERIFY(window.isVisible());
    }

    void loginButtonCarriesTheBrandColour() {
        LoginWindowController window;
        QVERIFY(window.loginBtn()->styleSheet().contains(QStringLiteral("#3165d8")));
        QCOMPARE(window.passwordField()->echoMode(), QLineEdit::Password);
    }

    void profileShowsTheStoredRecord_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("userName");
        QTest::addColumn<QString>("memberType");
        QTest::addColumn<QString>("createDate");
        QTest::addColumn<QString>("downloads");
        QTest::newRow("pro member")
            << QByteArray(
                   R"({"userName":"Alice","registerType":"3","createDate":"2023-04-01 10:20:30 +0800","downloadCount":12})")
            << "Alice"
            << "Pro Member"
            << "2023-04-01 10:20:30 +0800"
            << "12";
        QTest::newRow("type missing, count 0")
            << QByteArray(R"({"userName":"Bob","downloadCount":0})") << "Bob"
            << "Free Member"
            << ""
            << "0";
        QTest::newRow("basic") << QByteArray(R"({"registerType":1})") << ""
                               << "Basic Member"
                               << ""
                               << "0";
        QTest::newRow("premium") << QByteArray(R"({"registerType":"2","createDate":"1.1.2020"})")
                                 << ""
                                 << "Premium Member"
                                 << "1.1.2020"
                                 << "0";
        QTest::newRow("type out of range") << QByteArray(R"({"registerType":"7"})") << ""
                                           << ""
                                           << ""
                                           << "0";
    }
    void profileShowsTheStoredRecord() {
        QFETCH(QByteArray, data);
        QFETCH(QString, userName);
        QFETCH(QString, memberType);
        QFETCH(QString, createDate);
        QFETCH(QString, downloads);
        QVERIFY(UserUtil::savingUserInformation(
            UserModel::fromJson(QJsonDocument::fromJson(data).object())));
        MyProfileWindowController window;
        QCOMPARE(window.usernameField()->text(), userName);
        QCOMPARE(window.memberTypeField()->text(), memberType);
        QCOMPARE(window.createDateField()->text(), createDate);
        QCOMPARE(window.downLoadCountField()->text(), downloads);
    }

    void accountOpensTheWindowForTheLoginState() {
        QVERIFY(UserUtil::savingUserInformation(sampleUser()));
        QString opened;
        inspectNextModal(
            [&opened](QWidget* modal) { opened = modal ? modal->objectName() : QString(); });
        AccountActions::account(nullptr);
        QCOMPARE(opened, QStringLiteral("MyProfileWindowController"));

        NotificationProbe loggedOut(NotificationNames::LogOut);
        Settings::setValue(SettingsKeys::Password, QString());
        AccountActions::logOut();
        QCOMPARE(loggedOut.count, 1);
        QVERIFY(!AccountActions::hasLogin());
        QCOMPARE(Settings::stringValue(SettingsKeys::Username),
                 QStringLiteral("previous@example.com"));

        NotificationProbe closed(NotificationNames::ChangeRatios);
        inspectNextModal(
            [&opened](QWidget* modal) { opened = modal ? modal->objectName() : QString(); });
        AccountActions::account(nullptr);
        QCOMPARE(opened, QStringLiteral("LoginWindowController"));
        QCOMPARE(closed.count, 1);
    }

    void menuEntriesOpenTheirWindows() {
        QString opened;
        inspectNextModal(
            [&opened](QWidget* modal) { opened = modal ? modal->objectName() : QString(); });
        AccountActions::loginModal(nullptr);
        QCOMPARE(opened, QStringLiteral("LoginWindowController"));
        QVERIFY(UserUtil::savingUserInformation(sampleUser()));
        inspectNextModal([&opened](QWidget* modal) {
            auto* profile = qobject_cast<MyProfileWindowController*>(modal);
            opened = profile ? profile->usernameField()->text() : QString();
        });
        AccountActions::myProfile(nullptr);
        QCOMPARE(opened, QStringLiteral("Carol"));
    }

private:
    AccountTestServer server_;
};

QTEST_MAIN(TestAccountWindows)
#include "tst_account_windows.moc"
