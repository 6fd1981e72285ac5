// The application shell: the menu bar's items follow the window and the stored session, the
// launch resets the run counter, and the Account menu posts its notifications.
#include "AppDelegate.h"
#include "LaunchArguments.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "Preferences.h"
#include "RawNames.h"
#include "UserUtil.h"

#include <QMenuBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
QList<QAction*> menuBarItems(AppDelegate& delegate) {
    QList<QAction*> items;
    for (QAction* menu : delegate.mainMenu()->actions())
        items += menu->menu()->actions();
    return items;
}
} // namespace

class AppDelegateTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { QSettings().clear(); }

    // Ctrl+O has one owner, the window's Add Files item that the File menu shows: the key
    // opens the panel once (an ambiguous shortcut would open nothing). The menu's Options item
    // is off while an intake goes.
    void fileMenuFollowsTheWindow() {
        MainWindow window;
        AppDelegate delegate(&window);
        HomeView* home = window.homeView();
        int panels = 0;
        home->chooseFiles = [&](QWidget*, const QStringList&) {
            ++panels;
            return QStringList();
        };
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(panels, 1);
        QAction* options = window.optionsAction();
        QVERIFY(menuBarItems(delegate).contains(window.addFilesAction()));
        QVERIFY(menuBarItems(delegate).contains(options));
        QVERIFY(options->isEnabled());
        QSignalSpy done(home->session(), &ConversionSession::intakeFinished);
        QTemporaryDir folder;
        home->dragDropViewFileList({folder.path()});
        QVERIFY(!options->isEnabled());
        options->trigger();
        QVERIFY(home->optionsWindow() == nullptr);
        QVERIFY(done.wait(30000));
        QVERIFY(options->isEnabled());
        options->trigger();
        QVERIFY(home->optionsWindow() != nullptr && home->optionsWindow()->isVisible());
    }

    // A name whose bytes are not UTF-8 decodes to the name of another file: it is never
    // opened, and the file it would be taken for is opened only when named itself.
    void undecodableNamesAreNeverOpened() {
        QByteArray raw[] = {"tessaro-pro", "/x/bad\xff.webp", "/x/ok.webp"};
        char* argv[] = {raw[0].data(), raw[1].data(), raw[2].data()};
        const QStringList arguments = RawNames::arguments(3, argv);
        QCOMPARE(LaunchArguments::files(arguments), QStringList{"/x/ok.webp"});
        const QString other = "/x/bad" + QString(QChar(0xfffd)) + ".webp";
        QCOMPARE(LaunchArguments::files(arguments + QStringList{other}),
                 (QStringList{"/x/ok.webp", other}));
    }

    // A launch shows the stored session and counts runs afresh; the Account menu follows the
    // log-in and log-out notifications, and its Logout posts "LogOut" with the delegate.
    void launchAndAccountMenuFollowTheStore() {
        std::unique_ptr<MainWindow> window;
        std::unique_ptr<AppDelegate> delegate;
        auto launch = [&] {
            delegate.reset();
            window = std::make_unique<MainWindow>();
            delegate = std::make_unique<AppDelegate>(window.get());
            delegate->finishLaunching();
        };
        auto shown = [&] { // Login, My Profile, Logout
            return QList<bool>{delegate->loginAction()->isVisible(),
                               delegate->myProfileAction()->isVisible(),
                               delegate->logoutAction()->isVisible()};
        };
        auto post = [](const char* name) {
            NotificationCenter::defaultCenter().post(QLatin1String(name));
        };
        const QList<bool> in{false, true, true}, out{true, false, false};
        Preferences::instance().setConvertCount(3);
        UserUtil::removeUserInfo();
        launch();
        QCOMPARE(Preferences::instance().convertCount(), qint64(0));
        QCOMPARE(shown(), out);
        UserModel user;
        user.userName = QStringLiteral("ada");
        user.token = QStringLiteral("t0k3n");
        QVERIFY(UserUtil::savingUserInformation(user));
        QCOMPARE(shown(), out); // nothing changes before the notification
        post(NotificationNames::LoginNotifi);
        QCOMPARE(shown(), in);
        launch();
        QCOMPARE(shown(), in);
        UserUtil::removeUserInfo();
        post(NotificationNames::LogOut);
        QCOMPARE(shown(), out);
        delegate->setAccountMenu(true);
        post(NotificationNames::LoginNotifi); // without a stored session
        QCOMPARE(shown(), out);
        QObject probe;
        QVariantList posters;
        NotificationCenter::defaultCenter().observe(
            QLatin1String(NotificationNames::LogOut), &probe,
            [&](const QVariant& object) { posters << object; });
        delegate->logoutAction()->trigger();
        QCOMPARE(posters, QVariantList{QVariant::fromValue<QObject*>(delegate.get())});
    }
};

QTEST_MAIN(AppDelegateTest)
#include "tst_appdelegate.moc"
