#include "AccountActions.h"
#include "AccountTestServer.h"
#include "ApiClient.h"
#include "LoginWindowController.h"
#include "MyProfileWindowController.h"
#include "TestFiles.h"
#include "UserUtil.h"

#include <QApplication>
#include <QCheckBox>
#include <QJsonDocument>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {
constexpr int kWaitMs = 10000;

// Records one announcement of the account: its objects, and the login state each time (what
// the Account menu re-reads).
struct AnnouncementProbe : QObject {
    template <typename Signal> explicit AnnouncementProbe(Signal signal) {
        connect(&AccountEvents::instance(), signal, this, [this](QObject* object) {
            objects << object;
            loggedIn << AccountActions::hasLogin();
        });
    }
    QList<QObject*> objects;
    QList<bool> loggedIn;
};

// Clicks Login on a shown window filled with these inputs; returns the alerts it shows.
std::unique_ptr<QSignalSpy> clickLogin(LoginWindowController& window, const QString& email,
                                       const QString& password, bool agree = true) {
    window.show();
    window.usernameField()->setText(email);
    window.passwordField()->setText(password);
    window.checkAgree()->setChecked(agree);
    auto alerts = std::make_unique<QSignalSpy>(&window, &LoginWindowController::alertShown);
    QTest::mouseClick(window.loginBtn(), Qt::LeftButton);
    return alerts;
}

// Calls AccountActions::account and returns the object name of the modal window it opens.
QString windowOpenedByAccount() {
    QString opened;
    QObject context; // drops the check if account() returns without a modal window
    QTimer::singleShot(0, &context, [&opened] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened = modal->objectName();
            modal->close();
        }
    });
    AccountActions::account(nullptr);
    return opened;
}
} // namespace

class TestAccountWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        // Keep the tests away from the desktop's real secret store: no session bus.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tessaro-test-bus");
        QVERIFY(server_.listen());
        QVERIFY(ApiClient::setSharedConfiguration(
            {server_.baseUrl(), QSslCertificate::fromPath(AccountTestServer::authorityFile())}));
    }

    void init() {
        UserUtil::removeUserInfo();
        QSettings().setValue("username", QStringLiteral("previous@example.com"));
    }

    void inputChecksRunInOrderAndSendNothing_data() {
        QTest::addColumn<QStringList>("row"); // e-mail, password, privacy box ("x": ticked), alert
        const QString noEmail = "The email address is empty";
        const QString noPassword = "The password address is empty";
        const QString noAgreement =
            "Please read and confirm our Privacy Policy before login your account.";
        QTest::newRow("only the box ticked") << QStringList{"", "", "x", noEmail};
        QTest::newRow("no password, no agreement")
            << QStringList{"a@example.com", "", "", noPassword};
        QTest::newRow("no agreement") << QStringList{"a@example.com", "pw", "", noAgreement};
    }
    void inputChecksRunInOrderAndSendNothing() {
        QFETCH(QStringList, row);
        const QString alert = row[3];
        LoginWindowController window;
        QSignalSpy sent(&ApiClient::sharedJsonClient(), &ApiClient::requestSent);
        const auto alerts = clickLogin(window, row[0], row[1], row[2] == u"x");
        QCOMPARE(alerts->size(), 1);
        QCOMPARE(alerts->at(0), QVariantList({alert, 1}));
        QCOMPARE(sent.size(), 0);
        window.currentAlert()->button(QMessageBox::Ok)->click();
        QVERIFY(window.isVisible());
    }

    // Accepted: session saved, announced, e-mail kept, OK closes, the Account item then opens
    // the profile. Refused: the service's text, shown as plain text whatever markup it holds,
    // or for a redirect words of our own; the window stays open and the Account item opens the
    // login window. Neither writes the password into the settings file.
    void loginAgainstTheService_data() {
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("alert");
        const auto message = [](const QString& email) {
            return AccountTestServer::users().value(email).toObject().value("message").toString();
        };
        const QString alice = "alice@example.com", markup = "markup@example.com", any = "anything";
        QTest::newRow("accepted") << alice << QString("correct horse") << message(alice);
        QTest::newRow("refused") << alice << QString("wrong")
                                 << "The e-mail address or the password is not correct.";
        QTest::newRow("markup") << markup << any << message(markup);
        QTest::newRow("redirect") << "moved@example.com" << any << QString(); // any words
    }
    void loginAgainstTheService() {
        QFETCH(QString, email);
        QFETCH(QString, password);
        QFETCH(QString, alert);
        const bool accepted = password == u"correct horse";
        AnnouncementProbe loggedIn(&AccountEvents::loggedIn);
        AnnouncementProbe closed(&AccountEvents::loginWindowClosed);
        LoginWindowController window;
        const auto alerts = clickLogin(window, email, password);
        QVERIFY(alerts->wait(kWaitMs));
        const QString shown = alerts->at(0).at(0).toString();
        QVERIFY2(alert.isEmpty() ? !shown.isEmpty() : shown == alert, qPrintable(shown));
        QCOMPARE(alerts->at(0).at(1).toInt(), accepted ? 0 : 1);
        QCOMPARE(window.currentAlert()->text(), shown);
        QCOMPARE(window.currentAlert()->textFormat(), Qt::PlainText);
        QCOMPARE(loggedIn.objects, accepted ? QList<QObject*>{&window} : QList<QObject*>());
        QCOMPARE(loggedIn.loggedIn, accepted ? QList<bool>{true} : QList<bool>());
        QCOMPARE(QSettings().value("username").toString(),
                 accepted ? "alice@example.com" : "previous@example.com");
        const QByteArray settingsFile = TestFiles::head(QSettings().fileName(), 1 << 20);
        QVERIFY(settingsFile.contains("@example.com") && !settingsFile.contains(password.toUtf8()));
        // The fixture sends the count as text, the type as a number and "downLoadUrl".
        const UserModel alice = UserModel::fromJson(
            QJsonDocument::fromJson(
                R"({"userName":"Alice","token":"alice-token-1","createDate":"2023-04-01 10:20:30 +0800",)"
                R"("endDate":"2026-04-01","memberType":"pro","downloadCount":12,"registerType":"3"})")
                .object());
        QCOMPARE(UserUtil::storedUser(), accepted ? std::optional(alice) : std::nullopt);
        window.currentAlert()->button(QMessageBox::Ok)->click();
        QTRY_COMPARE_WITH_TIMEOUT(window.isVisible(), !accepted, kWaitMs);
        QCOMPARE(closed.objects.size(), int(accepted));
        QCOMPARE(windowOpenedByAccount(),
                 accepted ? "MyProfileWindowController" : "LoginWindowController");
    }

    void profileShowsTheStoredRecord_data() {
        // The stored record, then user name, member type, creation date, downloads as shown.
        QTest::addColumn<QStringList>("row");
        QTest::newRow("pro") << QStringList{
            R"({"userName":"Al","registerType":"3","createDate":"2023-04-01","downloadCount":12})",
            "Al", "Pro Member", "2023-04-01", "12"};
        QTest::newRow("type missing, count 0") << QStringList{
            R"({"userName":"Bob","downloadCount":0})", "Bob", "Free Member", "", "0"};
        QTest::newRow("basic") << QStringList{R"({"registerType":1})", "", "Basic Member", "", "0"};
        QTest::newRow("out of range") << QStringList{R"({"registerType":"7"})", "", "", "", "0"};
    }
    void profileShowsTheStoredRecord() {
        QFETCH(QStringList, row);
        QVERIFY(UserUtil::savingUserInformation(
            UserModel::fromJson(QJsonDocument::fromJson(row.takeFirst().toUtf8()).object())));
        MyProfileWindowController window;
        QCOMPARE(
            QStringList({window.usernameField()->text(), window.memberTypeField()->text(),
                         window.createDateField()->text(), window.downLoadCountField()->text()}),
            row);
    }

private:
    AccountTestServer server_;
};

QTEST_MAIN(TestAccountWindows)
#include "tst_account_windows.moc"
