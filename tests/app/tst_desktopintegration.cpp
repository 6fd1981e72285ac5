// Run twice by CTest: "onSessionBus" inside dbus-run-session, where a stand-in for the desktop's
// services answers on the private bus; "withoutSessionBus" with no bus address at all.
#include "DesktopIntegration.h"
#include "TestFiles.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

// The notification server and the file manager: records every call, answers each with id 41.
class FakeDesktop : public QDBusVirtualObject {
public:
    QList<QDBusMessage> calls;
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& call, const QDBusConnection& bus) override {
        calls << call;
        return bus.send(call.createReply(QVariantList{uint(41)}));
    }
};

class DesktopIntegrationTest : public QObject {
    Q_OBJECT
    QList<QVariantList> updates;

public Q_SLOTS:
    void launcherUpdate(const QString& app, const QVariantMap& properties) {
        updates << QVariantList{app, properties.value("progress"),
                                properties.value("progress-visible")};
    }

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
        const QString name = QTest::currentDataTag();
        QDBusConnection fakes = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
        const auto disconnect = qScopeGuard([&] { QDBusConnection::disconnectFromBus(name); });
        FakeDesktop services;
        const auto offer = [&](const QString& service) {
            return fakes.registerVirtualObject('/' + QString(service).replace(u'.', u'/'),
                                               &services) &&
                   fakes.registerService(service);
        };
        QVERIFY(offer("org.freedesktop.Notifications"));
        QVERIFY(!fileManager || offer("org.freedesktop.FileManager1"));
        QVERIFY(fakes.connect({}, {}, "com.canonical.Unity.LauncherEntry", "Update", this,
                              SLOT(launcherUpdate(QString, QVariantMap))));
        QStringList opened;
        DesktopIntegration desktop([&](const QString& folder) { opened << folder; });

        updates.clear();
        desktop.setProgress(0.25, true);
        QTRY_COMPARE(updates,
                     (QList<QVariantList>{{"application://tessaro-pro.desktop", 0.25, true}}));
        desktop.notifyRunEnded("Converted 2 files", "1.0 MB → 0.5 MB", target);
        QTRY_COMPARE(services.calls.size(), 1);
        const QVariantList shown = services.calls[0].arguments();
        QCOMPARE(shown.mid(3, 2), (QVariantList{"Converted 2 files", "1.0 MB → 0.5 MB"}));
        const QStringList actions = shown.value(5).toStringList();
        const qsizetype label = actions.lastIndexOf("Show in folder"); // follows its key
        QVERIFY(label % 2 == 1);
        for (const uint id : {99u, 41u}) // another program's notification first
            fakes.send(QDBusMessage::createSignal("/org/freedesktop/Notifications",
                                                  "org.freedesktop.Notifications", "ActionInvoked")
                       << id << actions[label - 1]);
        if (!fileManager) {
            QTRY_COMPARE(opened, QStringList{dir.path()});
            return;
        }
        QTRY_COMPARE(services.calls.size(), 2);
        QCOMPARE(services.calls[1].member(), folderTarget ? "ShowFolders" : "ShowItems");
        const QStringList uris = services.calls[1].arguments().value(0).toStringList();
        QVERIFY(uris.size() == 1 && !uris[0].contains(u' ')); // a URI, encoded
        QCOMPARE(QUrl(uris[0]).toLocalFile(), target);
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
