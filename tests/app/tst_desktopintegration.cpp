// Run twice by CTest: "onSessionBus" inside dbus-run-session, where a stand-in for the desktop's
// services answers on the private bus; "withoutSessionBus" with no bus address at all.
#include "ConversionSession.h"
#include "DesktopIntegration.h"
#include "ModeTable.h"
#include "Preferences.h"
#include "RunNotifier.h"
#include "SizeSummary.h"
#include "TestFiles.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QScopeGuard>
#include <QSignalSpy>
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

// A connection of its own offering the desktop's services on the test's session bus.
struct FakeServices {
    explicit FakeServices(const QString& name)
        : name(name), bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name)) {}
    ~FakeServices() { QDBusConnection::disconnectFromBus(name); }
    bool offer(const QString& service) {
        return bus.registerVirtualObject('/' + QString(service).replace(u'.', u'/'), &desktop) &&
               bus.registerService(service);
    }
    QString name;
    QDBusConnection bus;
    FakeDesktop desktop;
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
        FakeServices fake(QTest::currentDataTag());
        QDBusConnection& fakes = fake.bus;
        FakeDesktop& services = fake.desktop;
        QVERIFY(fake.offer("org.freedesktop.Notifications"));
        QVERIFY(!fileManager || fake.offer("org.freedesktop.FileManager1"));
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

    // A run ends with a notification when a file manager asked for it, or when the window was
    // not active; the icon shows the progress during the run only.
    void runEndNotifies_data() {
        QTest::addColumn<int>("bad"); // of three files, not images
        QTest::addColumn<bool>("requested");
        QTest::addColumn<bool>("windowActive");
        QTest::addColumn<QString>("summary"); // "" for no notification
        QTest::newRow("window not active") << 0 << false << false << "Converted 3 files · %1";
        QTest::newRow("window not active, failures") << 2 << false << false << "2 of 3 failed";
        QTest::newRow("window active") << 0 << false << true << "";
        QTest::newRow("asked by a file manager") << 1 << true << true << "1 of 3 failed";
    }
    void runEndNotifies() {
        QFETCH(int, bad);
        QFETCH(bool, requested);
        QFETCH(bool, windowActive);
        QFETCH(QString, summary);
        FakeServices fake(QTest::currentDataTag());
        QVERIFY(fake.offer("org.freedesktop.Notifications"));
        QVERIFY(fake.bus.connect({}, {}, "com.canonical.Unity.LauncherEntry", "Update", this,
                                 SLOT(launcherUpdate(QString, QVariantMap))));
        updates.clear();
        QTemporaryDir dir;
        QStringList files;
        qint64 in = 0;
        for (int i = 0; i < 3; ++i) {
            const QString path = dir.filePath(QStringLiteral("%1.png").arg(i));
            files << (i < bad ? TestFiles::writeBytes(path, "bad")
                              : TestFiles::writeImage(path, "png"));
            in += i < bad ? 0 : QFileInfo(path).size();
        }
        Preferences::instance().setMode(ConvertMode::ImageToWebp);
        ConversionSession session;
        DesktopIntegration desktop([](const QString&) {});
        RunNotifier notifier(&session, &desktop, [=] { return windowActive; });
        notifier.quietRunMs = 0;
        QSignalSpy added(&session, &ConversionSession::intakeFinished);
        QSignalSpy finished(&session, &ConversionSession::runFinished);
        if (requested) {
            session.convertNextToSources(files, ModeTable::modesForTarget("webp"));
        } else {
            session.add(files, ConversionSession::Origin::Drop);
            QVERIFY(added.wait(20000) && session.start(dir.path(), false));
        }
        QVERIFY(finished.wait(60000));
        desktop.notifyRunEnded("after the run", {}, {}); // comes after any of the run's
        QTRY_VERIFY(!fake.desktop.calls.isEmpty() &&
                    fake.desktop.calls.last().arguments().value(3) == "after the run");
        qint64 out = 0;
        for (const QFileInfo& result : QDir(dir.path()).entryInfoList({"*.webp"}))
            out += result.size();
        if (summary.contains(u'%'))
            summary = summary.arg(SizeSummary::totalsText(in, out));
        QStringList notified;
        for (const QDBusMessage& call : fake.desktop.calls.mid(0, fake.desktop.calls.size() - 1))
            notified << call.arguments().value(3).toString();
        QCOMPARE(notified, summary.isEmpty() ? QStringList() : QStringList{summary});
        QVERIFY(updates.size() >= 2 && updates.first().value(2).toBool());
        QCOMPARE(updates.last().value(2), QVariant(false));
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
