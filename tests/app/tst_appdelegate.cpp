// The Account menu rule of the application shell: applied at launch from the stored session
// and again on every log-in and log-out notification.
#include "AppDelegate.h"
#include "HomeViewController.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "UserUtil.h"

#include <QMenuBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class AppDelegateTest : public QObject {
    Q_OBJECT

    // The items of one menu of the menu bar ("&File", "Account").
    static QList<QAction*> menuItems(AppDelegate& delegate, const QString& menuTitle) {
        for (QAction* menu : delegate.mainMenu()->actions())
            if (menu->text() == menuTitle)
                return menu->menu()->actions();
        return {};
    }
    static QAction* menuItem(AppDelegate& delegate, const QString& menuTitle,
                             const QString& title) {
        for (QAction* item : menuItems(delegate, menuTitle))
            if (item->text() == title)
                return item;
        return nullptr;
    }

private Q_SLOTS:
    void init() { QSettings().clear(); }

    // Ctrl+O has one owner: the key opens the add-files panel once (an ambiguous shortcut
    // would open nothing).
    void ctrlOOpensTheFilePanel() {
        MainWindowController window;
        AppDelegate delegate(&window);
        int panels = 0;
        window.homeViewController()->chooseFiles = [&](QWidget*, const QStringList&) {
            ++panels;
            return QStringList();
        };
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(panels, 1);
        QCOMPARE(menuItem(delegate, "&File", "Add Files"), window.addFileAction());
    }

    // The File menu's Options item follows the window: not while an intake or a run goes.
    void optionsItemFollowsTheBusyWindow() {
        MainWindowController window;
        AppDelegate delegate(&window);
        QAction* options = menuItem(delegate, "&File", "Options…");
        QVERIFY(options != nullptr && options->isEnabled());
        HomeViewController* home = window.homeViewController();
        QSignalSpy done(home, &HomeViewController::intakeFinished);
        QTemporaryDir folder;
        home->dragDropViewFileList({folder.path()});
        QVERIFY(home->isIntakeBusy());
        QVERIFY(!options->isEnabled());
        options->trigger();
        QVERIFY(home->optionsWindow() == nullptr);
        QVERIFY(done.wait(30000));
        QVERIFY(options->isEnabled());
        options->trigger();
        QVERIFY(home->optionsWindow() != nullptr && home->optionsWindow()->isVisible());
    }

    // Logging out from the Account menu posts "LogOut" with the application delegate.
    void logoutMenuPostsWithTheDelegate() {
        MainWindowController window;
        AppDelegate delegate(&window);
        QObject probe;
        QVariantList objects;
        NotificationCenter::defaultCenter().observe(
            QLatin1String(NotificationNames::LogOut), &probe,
            [&](const QVariant& object) { objects << object; });
        QAction* logout = menuItem(delegate, "Account", "Logout");
        QVERIFY(logout != nullptr);
        logout->trigger();
        QCOMPARE(objects.size(), 1);
        QCOMPARE(objects.first().value<QObject*>(), &delegate);
    }

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
            for (QAction* item : menuItems(*delegate, "Account"))
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
