// The application shell: launch sequence, Account menu rule, files opened with the
// application, the menu actions, and the toolbar's notifications.
#include "AppDelegate.h"
#include "HomeViewController.h"
#include "InfoWindow.h"
#include "JobList.h"
#include "MainWindowController.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "ProductLinks.h"
#include "Settings.h"
#include "SettingsKeys.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace {
QMenu* menuTitled(QMenuBar* bar, const QString& title) {
    for (QAction* action : bar->actions())
        if (action->text() == title)
            return action->menu();
    return nullptr;
}

QAction* itemTitled(QMenu* menu, const QString& title) {
    for (QAction* action : menu->actions())
        if (action->text() == title)
            return action;
    return nullptr;
}
} // namespace

class AppDelegateTest : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowController> window;
    std::unique_ptr<AppDelegate> delegate;

    bool visible(const QString& title) {
        return itemTitled(menuTitled(delegate->mainMenu(), QStringLiteral("Account")), title)
            ->isVisible();
    }

private Q_SLOTS:
    void initTestCase() {
        QCoreApplication::setOrganizationName(QStringLiteral("tessaro-tests"));
        QCoreApplication::setApplicationName(QStringLiteral("tst_appdelegate"));
    }

    void init() {
        QSettings().clear();
        window = std::make_unique<MainWindowController>();
        delegate = std::make_unique<AppDelegate>(window.get());
    }

    void cleanup() {
        delegate.reset();
        window.reset();
    }

    void launchSequence_data() {
        QTest::addColumn<QVariant>("upload");
        QTest::addColumn<QVariant>("download");
        QTest::addColumn<QString>("uploadAfter");
        QTest::addColumn<QVariant>("downloadAfter");
        const QString up = QLatin1String(ProductLinks::UploadBaseUrl);
        const QString down = QLatin1String(ProductLinks::DownloadBaseUrl);
        QTest::newRow("first launch") << QVariant() << QVariant() << up << QVariant(down);
        QTest::newRow("empty upload rewrites both")
            << QVariant(QString()) << QVariant(QStringLiteral("http://old/")) << up
            << QVariant(down);
        QTest::newRow("upload present, download missing stays missing")
            << QVariant(QStringLiteral("https://mine:8558/")) << QVariant()
            << QStringLiteral("https://mine:8558/") << QVariant();
    }

    void launchSequence() {
        QFETCH(QVariant, upload);
        QFETCH(QVariant, download);
        QFETCH(QString, uploadAfter);
        QFETCH(QVariant, downloadAfter);
        if (upload.isValid())
            Settings::setValue(SettingsKeys::UploadUrl, upload);
        if (download.isValid())
            Settings::setValue(SettingsKeys::DownloadUrl, download);
        Settings::setValue(SettingsKeys::ConvertCount, 7);
        delegate->applicationDidFinishLaunching();
        QCOMPARE(Settings::integerValue(SettingsKeys::ConvertCount), qint64(0));
        QCOMPARE(Settings::stringValue(SettingsKeys::UploadUrl), uploadAfter);
        QCOMPARE(Settings::value(SettingsKeys::DownloadUrl).toString(), downloadAfter.toString());
        QCOMPARE(Settings::contains(SettingsKeys::DownloadUrl), downloadAfter.isValid());
        QVERIFY(Settings::value(SettingsKeys::VisualizeMutuallyExclusiveConstraints).toBool());
        QVERIFY(QUrl(Settings::stringValue(SettingsKeys::UploadUrl)).path().endsWith(u'/'));
        // No stored session: the menu offers "Login" only.
        QVERIFY(visible(QStringLiteral("Login")));
        QVERIFY(!visible(QStringLiteral("Logout")));
        QVERIFY(!visible(QStringLiteral("My Profile")));
    }

    void seededUrlsHaveTheirPorts() {
        delegate->applicationDidFinishLaunching();
        const QUrl up(Settings::stringValue(SettingsKeys::UploadUrl));
        const QUrl down(Settings::stringValue(SettingsKeys::DownloadUrl));
        QCOMPARE(up.scheme(), QStringLiteral("https"));
        QCOMPARE(up.port(), 8558);
        QCOMPARE(down.scheme(), QStringLiteral("http"));
        QCOMPARE(down.port(), 8889);
        QCOMPARE(up.host(), down.host());
    }

    void accountMenuRule_data() {
        QTest::addColumn<bool>("loggedIn");
        QTest::newRow("logged in") << true;
        QTest::newRow("logged out") << false;
    }

    void accountMenuRule() {
        QFETCH(bool, loggedIn);
        delegate->setAccountMenu(!loggedIn);
        delegate->setAccountMenu(loggedIn);
        QCOMPARE(visible(QStringLiteral("Login")), !loggedIn);
        QCOMPARE(visible(QStringLiteral("Logout")), loggedIn);
        QCOMPARE(visible(QStringLiteral("My Profile")), loggedIn);
    }

    void accountNotificationsReapplyTheRule() {
        delegate->setAccountMenu(true);
        // Nobody is logged in in this test's home, so a log-out shows "Login" again.
        NotificationCenter::defaultCenter().post(QLatin1String(NotificationNames::LogOut));
        QVERIFY(visible(QStringLiteral("Login")));
        QVERIFY(!visible(QStringLiteral("Logout")));
        delegate->setAccountMenu(true);
        NotificationCenter::defaultCenter().post(QLatin1String(NotificationNames::LoginNotifi));
        QVERIFY(visible(QStringLiteral("Login")));
    }

    void openFilesPostsOneDockDragFile() {
        QTemporaryDir dir;
        const QString a = dir.filePath(QStringLiteral("a.webp"));
        const QString b = dir.filePath(QStringLiteral("b.webp"));
        QImage(4, 4, QImage::Format_RGB32).save(a, "PNG");
        QImage(4, 4, QImage::Format_RGB32).save(b, "PNG");
        QList<QStringList> posted;
        QObject receiver;
        NotificationCenter::defaultCenter().observe(
            QLatin1String(NotificationNames::DockDragFile), &receiver,
            [&](const QVariant& object) { posted.append(object.toStringList()); });
        QSignalSpy done(window->homeViewController(), &HomeViewController::intakeFinished);
        delegate->openFiles({b, a});
        QCOMPARE(posted, (QList<QStringList>{QStringList{b, a}}));
        QVERIFY(done.wait(10000));
        QCOMPARE(window->homeViewController()->jobList()->pathArr(), (QStringList{b, a}));
    }

    void chooseSavePath() {
        QTemporaryDir dir;
        const QString first = dir.filePath(QStringLiteral("first"));
        const QString second = dir.filePath(QStringLiteral("second"));
        QDir().mkpath(first);
        QDir().mkpath(second);
        QStringList startFolders;
        QString answer;
        delegate->chooseDirectory = [&](QWidget*, const QString& start) {
            startFolders.append(start);
            return answer;
        };
        delegate->chooseSavePath(); // cancelled
        QVERIFY(!Settings::contains(SettingsKeys::SavePath));
        answer = first;
        delegate->chooseSavePath();
        answer = second;
        delegate->chooseSavePath();
        QCOMPARE(Settings::stringValue(SettingsKeys::SavePath), second);
        answer.clear();
        delegate->chooseSavePath();
        QCOMPARE(Settings::stringValue(SettingsKeys::SavePath), second);
        QCOMPARE(startFolders, (QStringList{QString(), QString(), first, second}));
        // A stored folder that is gone opens the panel at the default place.
        QDir(second).removeRecursively();
        delegate->chooseSavePath();
        QCOMPARE(startFolders.last(), QString());
    }

    void linkWebSite() {
        QList<QUrl> opened;
        delegate->openUrl = [&](const QUrl& url) { opened.append(url); };
        delegate->linkWebSite();
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.first().scheme(), QStringLiteral("https"));
    }

    void reopenApplication() {
        delegate->reopenApplication(); // no window shown: nothing happens
        QVERIFY(!window->isVisible());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->showMinimized();
        delegate->reopenApplication();
        QVERIFY(window->isVisible());
        QVERIFY(!window->isMinimized());
    }

    void textServiceLogs() {
        QTest::ignoreMessage(QtInfoMsg, "some selected text");
        AppDelegate::doString(QStringLiteral("some selected text"));
        QGuiApplication::clipboard()->setText(QStringLiteral("from the clipboard"));
        QTest::ignoreMessage(QtInfoMsg, "from the clipboard");
        itemTitled(menuTitled(delegate->mainMenu(), QStringLiteral("&Edit")),
                   QStringLiteral("Log Clipboard Text"))
            ->trigger();
    }

    void toolbarPostsItsNotifications_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("name");
        QTest::newRow("clear") << "clearFileAction" << NotificationNames::ClearFile;
        QTest::newRow("account") << "accountAction" << NotificationNames::Account;
        QTest::newRow("add") << "addFileAction" << NotificationNames::AddFile;
    }

    void toolbarPostsItsNotifications() {
        QFETCH(QString, item);
        QFETCH(QString, name);
        window->homeViewController()->chooseFiles = [](QWidget*, const QStringList&) {
            return QStringList();
        };
        QList<QObject*> senders;
        QObject receiver;
        NotificationCenter::defaultCenter().observe(name, &receiver, [&](const QVariant& object) {
            senders.append(object.value<QObject*>());
        });
        // The account item may open a modal window: close whatever modal window comes up.
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                dialog->reject();
        });
        closer.start(50);
        window->findChild<QAction*>(item)->trigger();
        QCOMPARE(senders, QList<QObject*>{window.get()});
    }

    void windowTitleAndStartButton() {
        QCOMPARE(window->windowTitle(), QStringLiteral("Tessaro Pro"));
        QVERIFY(!window->homeViewController()->submitBtn()->isEnabled());
        QVERIFY(window->homeViewController()->submitBtn()->styleSheet().contains(
            QStringLiteral("#3c76db")));
    }

    void infoWindowTwice() {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        int opened = 0;
        for (int i = 0; i < 2; ++i) {
            QTimer::singleShot(0, this, [&] {
                if (auto* info = qobject_cast<InfoWindow*>(QApplication::activeModalWidget())) {
                    ++opened;
                    info->accept();
                }
            });
            window->infoAction()->trigger();
        }
        QCOMPARE(opened, 2);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(window->findChildren<InfoWindow*>().isEmpty()); // released after each run
    }
};

QTEST_MAIN(AppDelegateTest)
#include "tst_appdelegate.moc"
