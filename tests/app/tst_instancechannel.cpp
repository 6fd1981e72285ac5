// A second launch of the real application hands its files to the first: to this process's
// channel (exact paths), and between two real application processes.
#include "InstanceChannel.h"
#include "TestFiles.h"

#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <grp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
QString appBinary() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/tessaro-pro");
}
void restoreVariable(const char* name, const QByteArray& value) {
    if (value.isNull())
        qunsetenv(name);
    else
        qputenv(name, value);
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
        QDir().mkpath(QFileInfo(dir.filePath(name)).path());
        return TestFiles::writeImage(dir.filePath(name), "webp", {6, 6});
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(dir.isValid());
        QVERIFY2(QFileInfo(appBinary()).isExecutable(), qPrintable(appBinary()));
        QVERIFY(!someoneListens());
    }

    // However long the runtime folder's path (a socket address holds 107 bytes), a second
    // launch reaches the first and hands over absolute paths.
    void secondLaunchForwardsAbsolutePaths_data() {
        QTest::addColumn<QString>("runtime"); // "" keeps the session's
        QTest::newRow("session's runtime folder") << QString();
        QTest::newRow("240 characters deep") << QString(120, u'r') + u'/' + QString(120, u's');
    }
    void secondLaunchForwardsAbsolutePaths() {
        QFETCH(QString, runtime);
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        const auto restore = qScopeGuard([&] { restoreVariable("XDG_RUNTIME_DIR", saved); });
        if (!runtime.isEmpty()) {
            QVERIFY(QDir().mkpath(dir.filePath(runtime)) &&
                    ::chmod(QFile::encodeName(dir.filePath(runtime)), 0700) == 0);
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.filePath(runtime)));
        }
        InstanceChannel channel;
        QCOMPARE(channel.listen(), InstanceChannel::ListenResult::Listening);
        QSignalSpy received(&channel, &InstanceChannel::filesReceived);
        const QStringList files{image("a.webp"), image("sub/b.webp")};
        QProcess second;
        second.setWorkingDirectory(dir.path());
        second.start(appBinary(), {files[0], QStringLiteral("sub/b.webp")}); // one relative
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 20000);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(received.at(0).at(0).toStringList(), files);
        QVERIFY(runtime.isEmpty() ||
                InstanceChannel::serverName().startsWith(QStringLiteral("/proc/self/fd/")));
    }

    // A --convert-to target follows the paths: an instance that predates it, reading only the
    // paths, still gets them whole; a message without it is the older one. Anything else on
    // the socket is dropped without an answer and without files.
    void messages_data() {
        QTest::addColumn<QByteArray>("junk"); // null: a real message
        QTest::addColumn<QString>("target");
        QTest::newRow("files to open") << QByteArray() << QString();
        QTest::newRow("files to convert") << QByteArray() << QStringLiteral("webp");
        QTest::newRow("not a message") << QByteArray(64, 'x') << QString();
        QTest::newRow("huge length")
            << QByteArray::fromHex("54505231ffffffffffffffff") << QString();
    }
    void messages() {
        QFETCH(QByteArray, junk);
        QFETCH(QString, target);
        InstanceChannel channel;
        QCOMPARE(channel.listen(), InstanceChannel::ListenResult::Listening);
        QSignalSpy received(&channel, &InstanceChannel::filesReceived);
        const QStringList files{image("t/a.webp"), image("t/b.webp")};
        const QByteArray message = junk.isNull() ? InstanceChannel::message(files, target) : junk;
        QLocalSocket socket;
        socket.connectToServer(InstanceChannel::serverName());
        QVERIFY(socket.waitForConnected(2000));
        socket.write(message);
        if (!junk.isNull()) {
            QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QLocalSocket::UnconnectedState, 5000);
            QCOMPARE(socket.bytesAvailable() + received.count(), 0);
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 5000);
        QCOMPARE(received[0], (QVariantList{files, target}));
        QDataStream older(message.mid(sizeof(quint32) + sizeof(qint64)));
        QStringList paths;
        older >> paths;
        QCOMPARE(paths, files);
        QCOMPARE(older.status(), QDataStream::Ok);
    }

    // Only this user's launches may hand over files: another user's connection is dropped
    // unheard even when the folder and the socket are open to it. The socket is made 0600
    // whatever the umask.
    void otherUsersAreDropped_data() {
        QTest::addColumn<uid_t>("uid");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("this user") << ::geteuid() << true;
        QTest::newRow("another user") << uid_t(::geteuid() == 65534 ? 65533 : 65534) << false;
    }
    void otherUsersAreDropped() {
        QFETCH(uid_t, uid);
        QFETCH(bool, accepted);
        QCOMPARE(InstanceChannel::acceptsPeer(uid), accepted);
        if (uid != ::geteuid() && ::geteuid() != 0)
            QSKIP("only root can connect as another user; the check itself ran above");
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        const QString runtime = dir.filePath(QStringLiteral("shared-runtime"));
        QVERIFY(QDir().mkpath(runtime) && ::chmod(QFile::encodeName(runtime), 0700) == 0);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        InstanceChannel channel;
        {
            const TestFiles::UmaskScope open(0);
            QCOMPARE(channel.listen(), InstanceChannel::ListenResult::Listening);
        }
        restoreVariable("XDG_RUNTIME_DIR", saved);
        const QByteArray socketPath = QFile::encodeName(runtime + "/tessaro-pro.socket");
        struct stat st;
        QVERIFY(::stat(socketPath.constData(), &st) == 0 && S_ISSOCK(st.st_mode));
        QCOMPARE(st.st_mode & 07777, mode_t(0600));
        // As a loose runtime folder and umask would have left them.
        QVERIFY(::chmod(QFile::encodeName(runtime), 0711) == 0 &&
                ::chmod(socketPath.constData(), 0666) == 0);

        QSignalSpy received(&channel, &InstanceChannel::filesReceived);
        const QByteArray message = InstanceChannel::message({image("peer/a.webp")});
        const QByteArray folder = QFile::encodeName(runtime);
        const pid_t child = ::fork();
        if (child == 0) { // only async-signal-safe calls from here on
            if (::chdir(folder.constData()) != 0 ||
                (uid != ::geteuid() &&
                 (::setgroups(0, nullptr) != 0 || ::setgid(uid) != 0 || ::setuid(uid) != 0)))
                ::_exit(2);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::memcpy(address.sun_path, "tessaro-pro.socket", 19);
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
                ::_exit(3);
            char reply = 0;
            const bool confirmed = ::send(fd, message.constData(), size_t(message.size()),
                                          MSG_NOSIGNAL) == message.size() &&
                                   ::read(fd, &reply, 1) == 1 && reply == 'K';
            ::_exit(confirmed ? 0 : 1);
        }
        int status = -1;
        bool ended = false; // QTRY checks its condition once more after it held
        QTRY_VERIFY_WITH_TIMEOUT(ended || (ended = ::waitpid(child, &status, WNOHANG) == child),
                                 10000);
        QCOMPARE(WIFEXITED(status) ? WEXITSTATUS(status) : -1, accepted ? 0 : 1);
        QCOMPARE(received.count(), accepted ? 1 : 0);
    }

    // Without a runtime folder the socket goes to a folder of ours in the temporary folder;
    // one that another account could have made or can write to is never used: the app starts
    // without forwarding and says why.
    void untrustedFallbackFolderIsNotUsed() {
        const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        const QByteArray savedTemp = qgetenv("TMPDIR");
        const QString temp = dir.filePath(QStringLiteral("shared-tmp"));
        const QString planted = temp + QStringLiteral("/tessaro-pro-%1").arg(::getuid());
        QVERIFY(QDir().mkpath(planted));
        QVERIFY(QFile::setPermissions(planted, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner | QFileDevice::WriteOther |
                                                   QFileDevice::ExeOther | QFileDevice::ReadOther));
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(temp));
        QString why;
        QCOMPARE(InstanceChannel::serverName(&why), QString());
        QVERIFY2(why.contains(QStringLiteral("can be written by other users")), qPrintable(why));
        QCOMPARE(InstanceChannel().listen(), InstanceChannel::ListenResult::Failed);

        QProcess app;
        app.start(appBinary(), {image("alone/a.webp")});
        QByteArray log;
        QTRY_VERIFY_WITH_TIMEOUT((log += app.readAllStandardError()).contains("added 1 of 1 files"),
                                 20000);
        QVERIFY(log.contains("can be written by other users"));
        app.terminate();
        QVERIFY(app.waitForFinished(10000));

        // A folder of our own making is private and used.
        QVERIFY(QDir(planted).removeRecursively());
        QVERIFY(InstanceChannel::serverName().startsWith(planted));
        QCOMPARE(QFileInfo(planted).permissions() &
                     (QFileDevice::WriteOther | QFileDevice::WriteGroup),
                 QFileDevice::Permissions());
        restoreVariable("XDG_RUNTIME_DIR", savedRuntime);
        restoreVariable("TMPDIR", savedTemp);
    }

    void twoRealProcesses() {
        QProcess first;
        first.start(appBinary(), {});
        QTRY_VERIFY_WITH_TIMEOUT(someoneListens(), 20000);
        QProcess second;
        second.start(appBinary(), {image("two/a.webp"), image("two/b.webp")});
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);
        // The first instance posted "DockDragFile" and its window took both files.
        QByteArray log;
        QTRY_VERIFY_WITH_TIMEOUT(
            (log += first.readAllStandardError()).contains("added 2 of 2 files"), 20000);
        // A file manager's action reaches it too: converted at once, beside its source.
        const QString png = TestFiles::writeImage(dir.filePath("two/c.png"), "png", {6, 6});
        QCOMPARE(QProcess::execute(appBinary(), {"--convert-to", "webp", png}), 0);
        QTRY_VERIFY_WITH_TIMEOUT(TestFiles::isWebp(dir.filePath("two/c.webp")), 30000);
        first.terminate();
        QVERIFY(first.waitForFinished(10000)); // otherwise QProcess kills it on destruction
    }
};

QTEST_MAIN(InstanceChannelTest)
#include "tst_instancechannel.moc"
