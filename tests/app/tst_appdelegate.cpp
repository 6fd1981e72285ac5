// The Account menu rule of the application shell: applied at launch from the stored session
// and again on every log-in and log-out notification.
#include "AppDelegate.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "UserUtil.h"

#include <QMenuBar>
#include <QTest>

#include <memory>

class AppDelegateTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void accountMenuFollowsTheStoredSession() {
        std::unique_ptr<MainWindowController> window;
        std::unique_ptr<AppDelegate> delegate;
        auto launch = [&] {
            delegate.reset();
            window = std::make_unique<MainWindowController>();
            delegate = std::make_unique<AppDelegate>(window.get());
            delegate->applicationDidFinishLaunching();
        };
        // Which of "Login", "Logout", "My Profile" the Account menu shows.
        auto shown = [&] {
            QStringList titles;
            for (QAction* menu : delegate->mainMenu()->actions())
                if (menu->text() == QLatin1String("Account"))
                    for (QAction* item : menu->menu()->actions())
                        if (item->isVisible())
                            titles.append(item->text());
            titles.sort();
            return titles;
        };
        auto post = [](const char* name) {
            NotificationCenter::defaultCenter().post(QLatin1String(name));
        };
        const QStringList in{"Logout", "My Profile"}, out{"Login"};
        UserUtil::removeUserInfo();
        launch();
        QCOMPARE(shown(), out);
        UserModel user;
        user.userName = QStringLiteral("ada");
        user.token = QStringLiteral("t0k3n");
        QVERIFY(UserUtil::savingUserInformation(user));
        QCOMPARE(shown(), out); // nothing changes before the notification
        post(NotificationNames::LoginNotifi);
        QCOMPARE(shown(), in);
        launch(); // a new launch with the stored session starts logged in
        QCOMPARE(shown(), in);
        UserUtil::removeUserInfo();
        post(NotificationNames::LogOut);
        QCOMPARE(shown(), out);
        // A log-in notification without a stored session leaves "Login".
        delegate->setAccountMenu(true);
        QCOMPARE(shown(), in);
        post(NotificationNames::LoginNotifi);
        QCOMPARE(shown(), out);
    }
};

QTEST_MAIN(AppDelegateTest)
#include "tst_appdelegate.moc"
