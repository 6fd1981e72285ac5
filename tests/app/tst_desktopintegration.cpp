// Run twice by CTest: "onSessionBus" inside dbus-run-session, where stand-ins for the desktop's
// services answer on the private bus; "withoutSessionBus" with no bus address at all.
#include "DesktopIntegration.h"
#include "TestFiles.h"

#include <QDBusConnection>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QList<QStringList> received; // summary, body, actions
public Q_SLOTS:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList& actions, const QVariantMap&, int) {
        received << QStringList{summary, body} + actions;
        return 40 + received.size();
    }
Q_SIGNALS:
    void ActionInvoked(uint id, const QString& action);
};

class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList calls; // method, then the URIs
public Q_SLOTS:
    void ShowItems(const QStringList& uris, const QString&) { calls << "ShowItems" << uris; }
    void ShowFolders(const QStringList& uris, const QString&) { calls << "ShowFolders" << uris; }
};

class DesktopIntegrationTest : public QObject {
    Q_OBJECT
public Q_SLOTS:
    void launcherUpdate(const QString& app, const QVariantMap& properties) {
        updates << QStringList{app, properties.value("progress").toString(),
                               properties.value("progress-visible").toString()};
    }

private:
    QList<QStringList> updates;

private Q_SLOTS:
    void onSessionBus_data() {
        QTest::addColumn<bool>("folderTarget");
        QTest::addColumn<bool>("fileManager");
        QTest::newRow("a result, shown by the file manager") << false << true;
        QTest::newRow("the output folder, opened by the file manager") << true << true;
        QTest::newRow("a result, no file manager: its folder opened") << false << false;
    }

    void onSessionBus() {
        QFETCH(bool, folderTarget);
        QFETCH(bool, fileManager);
        QVERIFY(QDBusConnection::sessionBus().isConnected());
        QTemporaryDir dir;
        const QString file = TestFiles::writeBytes(dir.filePath("a b ü.webp"), "x");
        const QString target = folderTarget ? dir.path() : file;
        const QString name = QStringLiteral("fakes ") + QTest::currentDataTag();
        QDBusConnection fakes = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
        const auto disconnect = qScopeGuard([&] { QDBusConnection::disconnectFromBus(name); });
        FakeNotifications notifications;
        FakeFileManager files;
        const auto offer = [&](const char* service, const char* path, QObject* object) {
            return fakes.registerObject(path, object, QDBusConnection::ExportAllContents) &&
                   fakes.registerService(service);
        };
        QVERIFY(offer("org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                      &notifications));
        QVERIFY(!fileManager ||
                offer("org.freedesktop.FileManager1", "/org/freedesktop/FileManager1", &files));
        QVERIFY(fakes.connect({}, {}, "com.canonical.Unity.LauncherEntry", "Update", this,
                              SLOT(launcherUpdate(QString, QVariantMap))));
        QStringList opened;
        DesktopIntegration desktop([&](const QString& folder) { opened << folder; });

        updates.clear();
        desktop.setProgress(0.25, true);
        QTRY_COMPARE(updates,
                     (QList<QStringList>{{"application://tessaro-pro.desktop", "0.25", "true"}}));
        desktop.notifyRunEnded("Converted 2 files", "1.0 MB → 0.5 MB", target);
        QTRY_COMPARE(notifications.received.size(), 1);
        const QStringList shown = notifications.received[0];
        QCOMPARE(shown.mid(0, 2), (QStringList{"Converted 2 files", "1.0 MB → 0.5 MB"}));
        const qsizetype label = shown.lastIndexOf("Show in folder"); // follows its action key
        QVERIFY(label > 2 && label % 2 == 1);
        Q_EMIT notifications.ActionInvoked(99, shown[label - 1]); // another program's
        Q_EMIT notifications.ActionInvoked(41, shown[label - 1]);
        if (!fileManager) {
            QTRY_COMPARE(opened, QStringList{dir.path()});
            return;
        }
        QTRY_COMPARE(files.calls.size(), 2);
        QCOMPARE(files.calls[0], folderTarget ? "ShowFolders" : "ShowItems");
        QVERIFY(!files.calls[1].contains(u' ')); // a URI, encoded
        QCOMPARE(QUrl(files.calls[1]).toLocalFile(), target);
        QVERIFY(opened.isEmpty());
    }

    void withoutSessionBus() {
        QVERIFY(!QDBusConnection::sessionBus().isConnected());
        QTemporaryDir dir;
        QStringList opened;
        DesktopIntegration desktop([&](const QString& folder) { opened << folder; });
        desktop.setProgress(0.5, true);
        desktop.notifyRunEnded("Converted 2 files", "", dir.path());
        desktop.showInFolder(TestFiles::writeBytes(dir.filePath("a.webp"), "x"));
        QCOMPARE(opened, QStringList{dir.path()});
    }
};

QTEST_GUILESS_MAIN(DesktopIntegrationTest)
#include "tst_desktopintegration.moc"
