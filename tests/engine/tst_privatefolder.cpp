// The private home and the socket folder: made private, repaired when an older version left
// them open, and never trusted when someone else could have prepared them.
#include "AppPaths.h"
#include "PrivateFolder.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {
mode_t modeOf(const QString& path) {
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 07777) : 0;
}
bool withMode(const QString& path, mode_t mode, bool folder = true) {
    QFile file(path);
    return (folder ? QDir().mkpath(path) : file.open(QIODevice::WriteOnly)) &&
           ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}
} // namespace

class PrivateFolderTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private Q_SLOTS:
    void newFolderIsPrivateWhateverTheUmask() {
        const TestFiles::UmaskScope open(0);
        QString why;
        const QString folder = dir.filePath(QStringLiteral("fresh/deeper"));
        QVERIFY2(PrivateFolder::makeOrCheck(folder, &why), qPrintable(why));
        QCOMPARE(modeOf(folder), mode_t(0700));
    }

    void preparedFoldersAreRefused_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("repairable"); // closed by makeOrRepair, as the home is at start
        QTest::newRow("writable by others") << "open" << true;
        QTest::newRow("writable by the group only") << "group" << true;
        QTest::newRow("a link to a private folder") << "link" << false;
        QTest::newRow("a file") << "file" << false;
        QTest::newRow("another user's") << "foreign" << false;
    }
    void preparedFoldersAreRefused() {
        QFETCH(QString, kind);
        QFETCH(bool, repairable);
        QString folder = dir.filePath(QStringLiteral("prepared-") + kind);
        if (kind == "open" || kind == "group")
            QVERIFY(withMode(folder, kind == "open" ? 0777 : 0770));
        else if (kind == "link")
            QVERIFY(withMode(folder + ".target", 0700) && QFile::link(folder + ".target", folder));
        else if (kind == "file")
            QVERIFY(withMode(folder, 0700, false));
        else if (::geteuid() == 0) // only root can give a folder away
            QVERIFY(withMode(folder, 0755) &&
                    ::chown(QFile::encodeName(folder).constData(), 65534, 65534) == 0);
        else // an ordinary user finds one of root's, closed to others
            folder = QDir::rootPath();
        const mode_t prepared = modeOf(folder);
        QString why;
        QVERIFY(!PrivateFolder::makeOrCheck(folder, &why));
        QVERIFY2(why.startsWith(folder + u' '), qPrintable(why));
        QCOMPARE(modeOf(folder), prepared);
        QCOMPARE(PrivateFolder::makeOrRepair(folder, &why), repairable);
        QCOMPARE(modeOf(folder), repairable ? mode_t(0700) : prepared);
    }

    // A home an older version made with the umask's modes (group-writable here) is closed at
    // start: folders 0700, files 0600; a link inside is left alone and not followed.
    void existingHomeIsRepaired() {
        const QString home = AppPaths::privateHome(), documents = home + "/Documents";
        QVERIFY(!home.isEmpty());
        QVERIFY(withMode(documents + "/tessaro-run-x", 0755) && withMode(documents, 0755) &&
                withMode(home, 0775));
        const QString session = documents + "/user.plist", outside = dir.filePath("outside.txt");
        QVERIFY(withMode(session, 0644, false) && withMode(outside, 0644, false));
        QFile::remove(documents + "/link"); // left by a failed run
        QVERIFY(QFile::link(outside, documents + "/link"));
        QString why;
        QVERIFY2(AppPaths::preparePrivateHome(&why), qPrintable(why));
        for (const QString& folder : {home, documents, documents + "/tessaro-run-x"})
            QCOMPARE(modeOf(folder), mode_t(0700));
        QCOMPARE(modeOf(session), mode_t(0600));
        QCOMPARE(modeOf(outside), mode_t(0644));
        QVERIFY(QFile::remove(documents + "/link"));
    }
};

QTEST_MAIN(PrivateFolderTest)
#include "tst_privatefolder.moc"
