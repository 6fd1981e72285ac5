// The private home and the socket folder: made private, repaired when an older version left
// them open, and never trusted when someone else could have prepared them.
#include "AppPaths.h"
#include "PrivateFolder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {
mode_t modeOf(const QString& path) {
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 07777) : 0;
}
bool makeWithMode(const QString& path, mode_t mode) {
    return QDir().mkpath(path) && ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}
bool writeWithMode(const QString& path, mode_t mode) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}
} // namespace

class PrivateFolderTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private Q_SLOTS:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void newFolderIsPrivateWhateverTheUmask() {
        const mode_t previous = ::umask(0);
        QString why;
        const QString folder = dir.filePath(QStringLiteral("fresh/deeper"));
        const bool made = PrivateFolder::makeOrCheck(folder, &why);
        ::umask(previous);
        QVERIFY2(made, qPrintable(why));
        QCOMPARE(modeOf(folder), mode_t(0700));
    }

    void preparedFoldersAreRefused_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("repairable"); // closed by makeOrRepair, as the home is at start
        auto row = [](const char* tag, const char* kind, const char* reason, bool repairable) {
            QTest::newRow(tag) << QString(kind) << QString(reason) << repairable;
        };
        row("writable by others", "open", "can be written by other users", true);
        row("writable by the group", "group", "can be written by other users", true);
        row("a link to a private folder", "link", "is a link", false);
        row("a file", "file", "is not a folder", false);
        row("another user's", "foreign", "belongs to another user", false);
    }
    void preparedFoldersAreRefused() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QFETCH(bool, repairable);
        const QString folder = dir.filePath(QStringLiteral("prepared-") + kind);
        if (kind == QLatin1String("open"))
            QVERIFY(makeWithMode(folder, 0777));
        else if (kind == QLatin1String("group"))
            QVERIFY(makeWithMode(folder, 0770));
        else if (kind == QLatin1String("link"))
            QVERIFY(makeWithMode(folder + QStringLiteral(".target"), 0700) &&
                    QFile::link(folder + QStringLiteral(".target"), folder));
        else if (kind == QLatin1String("file"))
            QVERIFY(writeWithMode(folder, 0700));
        else {
            if (::geteuid() != 0)
                QSKIP("only root can give a folder to another user");
            QVERIFY(makeWithMode(folder, 0775));
            QCOMPARE(::chown(QFile::encodeName(folder).constData(), 65534, 65534), 0);
        }
        const mode_t prepared = modeOf(folder);
        QString why;
        QVERIFY(!PrivateFolder::makeOrCheck(folder, &why));
        QVERIFY2(why.contains(reason), qPrintable(why));
        QVERIFY(why.contains(folder));
        QCOMPARE(modeOf(folder), prepared);
        QCOMPARE(PrivateFolder::makeOrRepair(folder, &why), repairable);
        QCOMPARE(modeOf(folder), repairable ? mode_t(0700) : prepared);
    }

    // A home an older version made with the umask's modes is closed at start: folders 0700,
    // files 0600; a link inside is left alone and not followed.
    void existingHomeIsRepaired_data() {
        QTest::addColumn<int>("homeMode");
        QTest::newRow("umask 022") << 0755;
        QTest::newRow("umask 002") << 0775;
    }
    void existingHomeIsRepaired() {
        QFETCH(int, homeMode);
        const QString home = AppPaths::privateHome();
        QVERIFY(!home.isEmpty());
        QVERIFY(makeWithMode(home + QStringLiteral("/Documents/tessaro-run-x"), 0755));
        QVERIFY(makeWithMode(home + QStringLiteral("/Documents"), 0755));
        QVERIFY(makeWithMode(home, mode_t(homeMode)));
        const QString session = home + QStringLiteral("/Documents/user.plist");
        const QString outside = dir.filePath(QStringLiteral("outside.txt"));
        QVERIFY(writeWithMode(session, 0644) && writeWithMode(outside, 0644));
        QFile::remove(home + QStringLiteral("/Documents/link")); // left by a failed run
        QVERIFY(QFile::link(outside, home + QStringLiteral("/Documents/link")));

        QString why;
        QVERIFY2(AppPaths::preparePrivateHome(&why), qPrintable(why));
        QCOMPARE(modeOf(home), mode_t(0700));
        QCOMPARE(modeOf(home + QStringLiteral("/Documents")), mode_t(0700));
        QCOMPARE(modeOf(home + QStringLiteral("/Documents/tessaro-run-x")), mode_t(0700));
        QCOMPARE(modeOf(session), mode_t(0600));
        QCOMPARE(modeOf(outside), mode_t(0644));
        QVERIFY(QFile::remove(home + QStringLiteral("/Documents/link")));
    }
};

QTEST_MAIN(PrivateFolderTest)
#include "tst_privatefolder.moc"
