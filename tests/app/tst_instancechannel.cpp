// Files opened with a second launch reach the first instance: the channel in-process against
// the real application binary, and two real application processes.
#include "InstanceChannel.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFuture>
#include <QImage>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtConcurrent/QtConcurrentRun>

namespace {
// The channel of this process must keep serving while a client blocks, so the client runs
// on a worker thread.
bool forwardFromWorker(const QStringList& paths, int timeoutMs = 3000) {
    QFuture<bool> sent = QtConcurrent::run(
        [paths, timeoutMs] { return InstanceChannel::forward(paths, timeoutMs); });
    QElapsedTimer clock;
    clock.start();
    while (!sent.isFinished() && clock.elapsed() < timeoutMs + 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return sent.isFinished() && sent.result();
}

QString appBinary() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/tessaro-pro");
}

bool someoneListens() {
    QLocalSocket socket;
    socket.connectToServer(InstanceChannel::serverName());
    return socket.waitForConnected(200);
}
} // namespace

class InstanceChannelTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString image(const QString& name) {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QImage(6, 6, QImage::Format_RGB32).save(path, "WEBP");
        return path;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(dir.isValid());
        QVERIFY2(QFileInfo(appBinary()).isExecutable(), qPrintable(appBinary()));
        QVERIFY(!someoneListens());
    }

    void secondLaunchForwardsToTheChannel() {
        InstanceChannel channel;
        QCOMPARE(channel.listen(), InstanceChannel::ListenResult::Listening);
        QSignalSpy received(&channel, &InstanceChannel::filesReceived);
        const QString a = image(QStringLiteral("a.webp"));
        image(QStringLiteral("sub/b.webp"));
        QProcess second;
        second.setWorkingDirectory(dir.path());
        // A relative argument arrives as an absolute path.
        second.start(appBinary(), {a, QStringLiteral("sub/b.webp")});
        QVERIFY(second.waitForStarted(10000));
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 20000);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(received.at(0).at(0).toStringList(),
                 (QStringList{a, QDir(dir.path()).filePath(QStringLiteral("sub/b.webp"))}));
    }

    void launchWithoutFilesOnlyComesForward() {
        InstanceChannel channel;
        QCOMPARE(channel.listen(), InstanceChannel::ListenResult::Listening);
        QSignalSpy received(&channel, &InstanceChannel::filesReceived);
        QVERIFY(forwardFromWorker({}));
        QCOMPARE(received.count(), 1);
        QVERIFY(received.at(0).at(0).toStringList().isEmpty());
        // A second channel in the same place sees the first one.
        InstanceChannel other;
        QCOMPARE(other.listen(), InstanceChannel::ListenResult::OtherInstance);
    }

    void garbageIsRefusedAndTheChannelGoesOn() {
        InstanceChannel channel;
        QCOMPARE(channel.listen(), InstanceChannel::ListenResult::Listening);
        QSignalSpy received(&channel, &InstanceChannel::filesReceived);
        {
            QLocalSocket socket;
            socket.connectToServer(InstanceChannel::serverName());
            QVERIFY(socket.waitForConnected(3000));
            socket.write(QByteArray(64, 'x'));
            QVERIFY(socket.waitForBytesWritten(3000));
            // The channel hangs up on it.
            QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QLocalSocket::UnconnectedState, 5000);
        }
        QCOMPARE(received.count(), 0);
        QVERIFY(forwardFromWorker({QStringLiteral("/x/y.webp")}));
        QCOMPARE(received.count(), 1);
    }

    void staleSocketFileIsReplaced() {
        {
            QFile stale(InstanceChannel::serverName());
            QVERIFY(stale.open(QIODevice::WriteOnly));
        }
        QVERIFY(!forwardFromWorker({}, 500));
        InstanceChannel channel;
        QCOMPARE(channel.listen(), InstanceChannel::ListenResult::Listening);
        QVERIFY(forwardFromWorker({}));
    }

    void twoRealProcesses() {
        QVERIFY(!someoneListens());
        QProcess first;
        first.setProcessChannelMode(QProcess::SeparateChannels);
        first.start(appBinary(), {});
        QVERIFY(first.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(someoneListens(), 20000);

        const QString a = image(QStringLiteral("two/a.webp"));
        const QString b = image(QStringLiteral("two/b.webp"));
        QProcess second;
        second.start(appBinary(), {a, b});
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);

        // The first instance posted "DockDragFile" and its window took both files.
        QByteArray log;
        QTRY_VERIFY_WITH_TIMEOUT(
            (log += first.readAllStandardError()).contains("added 2 of 2 files"), 20000);

        first.terminate();
        if (!first.waitForFinished(10000)) {
            first.kill();
            first.waitForFinished(5000);
        }
    }
};

QTEST_MAIN(InstanceChannelTest)
#include "tst_instancechannel.moc"
