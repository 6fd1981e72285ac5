#include "OutputPlacement.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

using namespace TestFiles;

namespace {

// A file name of exactly `bytes` bytes.
QString nameOfBytes(int bytes, const QString& extension) {
    return stemOfBytes(bytes - 1 - int(extension.size())) + u'.' + extension;
}

// Renames out of any folder named "elsewhere" fail as if it were another file system.
int renameAcrossDevices(const char* from, int folder, const char* name) {
    if (QByteArray(from).contains("/elsewhere/")) {
        errno = EXDEV;
        return -1;
    }
    return ::renameat2(AT_FDCWD, from, folder, name, RENAME_NOREPLACE);
}

// A file system without RENAME_NOREPLACE.
int renameUnsupported(const char*, int, const char*) {
    errno = EINVAL;
    return -1;
}

// Another user who can write the output folder swaps a fresh result for a link to one of ours.
QByteArray victimOfTheSwap;
int renameThenSwapForLink(const char* from, int folder, const char* name) {
    if (::renameat2(AT_FDCWD, from, folder, name, RENAME_NOREPLACE) != 0)
        return -1;
    ::renameat(folder, name, folder, (QByteArray(name) + ".moved").constData());
    return ::symlinkat(victimOfTheSwap.constData(), folder, name);
}

// Publishes the file at source into folder under the name of wanted.
OutputPlacement::Published publish(const QString& source, const QString& wanted,
                                   const OutputPlacement::IsTaken& alsoTaken = {},
                                   const std::optional<QDateTime>& date = std::nullopt) {
    const QFileInfo info(wanted);
    return OutputPlacement::publishNoReplace(source, info.path(), {}, info.fileName(), alsoTaken,
                                             date);
}

struct FaultScope {
    FaultScope(OutputPlacement::RenameNoReplace rename, bool refuseUnnamedTemp) {
        OutputPlacement::setFileSystemFaultsForTests(rename, refuseUnnamedTemp);
    }
    ~FaultScope() { OutputPlacement::setFileSystemFaultsForTests(nullptr, false); }
};

} // namespace

class PlacementTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Existing names split by "|", "->name" a dangling link (an entry too: its name is not free).
    void uniqueName_data() {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected"); // "": no name fits
        auto row = [](const char* tag, const char* existing, const char* name,
                      const char* expected) {
            QTest::newRow(tag) << QString(existing).split('|', Qt::SkipEmptyParts) << QString(name)
                               << QString(expected);
        };
        row("empty folder", "", "photo.webp", "photo.webp");
        row("taken twice", "photo.webp|photo(1).webp", "photo.webp", "photo(2).webp");
        row("case differs only", "Photo.webp", "photo.webp", "photo.webp");
        row("dots in base", "a.b.jpg", "a.b.jpg", "a.b(1).jpg");
        row("parentheses cut at first (", "holiday (old).jpg", "holiday (old).jpg",
            "holiday (1).jpg");
        row("open parenthesis only", "a(b.webp|a(b(1).webp", "a(b.webp", "a(2).webp");
        row("other extension does not count", "photo.png", "photo.webp", "photo.webp");
        row("a dangling link", "->x.webp", "x.webp", "x(1).webp");
        // Names are limited in bytes: 255 fit, with "(1)" they would not.
        const QString full = nameOfBytes(255, "webp"), shorter = nameOfBytes(252, "webp");
        QTest::newRow("255 bytes, free") << QStringList{} << full << full;
        QTest::newRow("255 bytes, taken") << QStringList{full} << full << QString();
        QTest::newRow("252 bytes, taken: (1) fits")
            << QStringList{shorter} << shorter << shorter.chopped(5) + "(1).webp";
    }
    // Reservations keep the jobs of a run apart as well.
    void uniqueName() {
        QFETCH(QStringList, existing);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        for (const QString& e : existing)
            QVERIFY(e.startsWith("->") ? QFile::link("/nonexistent", dir.filePath(e.mid(2)))
                                       : QFile::exists(writeBytes(dir.filePath(e), "x")));
        const QString path = expected.isEmpty() ? QString() : dir.filePath(expected);
        QCOMPARE(OutputPlacement::uniqueName(name, dir.path(), 1), path);
        OutputReservations reservations;
        QCOMPARE(reservations.reserve(name, dir.path()), path);
        const QString second = reservations.reserve(name, dir.path());
        QVERIFY(path.isEmpty() || (second != path && !existing.contains(second)));
        QCOMPARE(reservations.all().size(), int(!path.isEmpty()) + int(!second.isEmpty()));
    }

    // The wanted name is taken by the time we publish (photo(1) by a dangling link, photo(2) is
    // promised to another job): the result goes under the next free name, on the same file
    // system, from another one (with or without unnamed files) and without RENAME_NOREPLACE,
    // with the mode the umask gives a new file. When the copy fails or no name fits, only the
    // user's own files remain: no hidden copy, no half file.
    void publishNeverReplaces_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("umask");
        QTest::addColumn<QString>("failure"); // "", "copy", "name" (no free name fits) or "long"
        QTest::newRow("same file system") << "" << 022 << "";
        QTest::newRow("no free name fits") << "" << 022 << "name";
        QTest::newRow("name the file system refuses") << "" << 022 << "long";
        QTest::newRow("no RENAME_NOREPLACE: link and unlink") << "einval" << 022 << "";
        for (const char* fault : {"xdev", "xdev-named"}) {
            for (const int mask : {022, 077, 002})
                QTest::addRow("%s, umask %o", fault, mask) << fault << mask << "";
            QTest::addRow("%s, copy fails", fault) << fault << 022 << "copy";
            QTest::addRow("%s, no free name fits", fault) << fault << 022 << "name";
        }
    }
    void publishNeverReplaces() {
        QFETCH(QString, fault);
        QFETCH(int, umask);
        QFETCH(QString, failure);
        const UmaskScope scopedUmask(umask);
        const FaultScope faults(fault == "einval" ? renameUnsupported
                                : fault.isEmpty() ? nullptr
                                                  : renameAcrossDevices,
                                fault == "xdev-named");
        QTemporaryDir dir;
        const QString out = dir.filePath("out");
        QDir().mkpath(out);
        QDir().mkpath(dir.filePath("elsewhere/folder"));
        const QString taken = failure == "name" ? nameOfBytes(255, "webp") : QString("photo.webp");
        const QString existing = writeBytes(out + u'/' + taken, "users own file");
        QVERIFY(QFile::link("/nonexistent", out + "/photo(1).webp"));
        // A folder opens but cannot be read: the copy fails half-way.
        const QString result =
            failure == "copy" ? dir.filePath("elsewhere/folder")
                              : writeBytes(dir.filePath("elsewhere/r"), QByteArray(300000, 'w'));
        // The work file's own mode must not leak into a copied result.
        if (fault.startsWith("xdev"))
            QFile::setPermissions(result, QFile::ReadOwner | QFile::WriteOwner);
        const QString wanted = out + u'/' + (failure == "long" ? nameOfBytes(256, "webp") : taken);
        const auto placed =
            publish(result, wanted, [](const QString& p) { return p.endsWith("/photo(2).webp"); });
        QCOMPARE(head(existing, 100), QByteArray("users own file"));
        if (!failure.isEmpty()) {
            QVERIFY2(!placed.ok() && placed.message.contains(wanted), qPrintable(placed.message));
            QCOMPARE(placed.reason, failure == "copy" ? Reason::WriteFailed : Reason::NameTooLong);
            QCOMPARE(entries(out), QStringList{taken});
            return;
        }
        QVERIFY2(placed.ok(), qPrintable(placed.message));
        QCOMPARE(placed.path, out + "/photo(3).webp");
        QCOMPARE(head(placed.path, 300000), QByteArray(300000, 'w'));
        QCOMPARE(permissionBits(placed.path), 0666 & ~umask);
        QVERIFY(!QFileInfo::exists(result));
        QCOMPARE(entries(out), (QStringList{"photo(3).webp", "photo.webp"}));
    }

    // The result has its date when it appears: a link swapped in for it afterwards leads
    // nowhere, as its path is never touched again. (Only the modification time: BatchRunTest.)
    void datesAreSetBeforeTheResultIsVisible() {
        QTemporaryDir dir;
        const QDateTime when = QDateTime::fromSecsSinceEpoch(1'000'000'000);
        const QString victim = writeBytes(dir.filePath("victim"), "mine");
        const QDateTime victimTime = QFileInfo(victim).lastModified();
        victimOfTheSwap = QFile::encodeName(victim);
        const FaultScope faults(renameThenSwapForLink, false);
        QVERIFY(publish(writeBytes(dir.filePath("r"), "result"), dir.filePath("out.png"), {}, when)
                    .ok());
        QCOMPARE(QFileInfo(victim).lastModified(), victimTime);
        QCOMPARE(QFileInfo(dir.filePath("out.png.moved")).lastModified(), when);
    }

    // A planted link, at the first level or deeper, fails the job; nothing lands behind it.
    // Real folders are made as needed; a vanished output folder is never made again.
    void mirroredFoldersAreNeverLinks() {
        QTemporaryDir dir;
        const QString out = dir.filePath("out");
        QDir().mkpath(out + "/a");
        QDir().mkpath(dir.filePath("elsewhere"));
        QVERIFY(QFile::link(dir.filePath("elsewhere"), out + "/sub"));
        QVERIFY(QFile::link(dir.filePath("elsewhere"), out + "/a/sub"));
        const auto into = [&](const QString& subfolder) {
            return OutputPlacement::publishNoReplace(writeBytes(dir.filePath("r"), "x"), out,
                                                     subfolder, "x.webp", {});
        };
        for (const QString& subfolder : {QStringLiteral("sub"), QStringLiteral("a/sub/b")}) {
            const auto placed = into(subfolder);
            QCOMPARE(placed.reason, Reason::LinkInOutputTree);
            const QString link = out + u'/' + subfolder.left(subfolder.indexOf("sub") + 3);
            QVERIFY2(placed.message.contains(link), qPrintable(placed.message));
            QVERIFY(entries(dir.filePath("elsewhere")).isEmpty());
        }
        QCOMPARE(into("c/d").path, out + "/c/d/x.webp");
        QVERIFY(QDir(out).removeRecursively());
        QCOMPARE(into("c/d").reason, Reason::WriteFailed);
        QVERIFY(!QFileInfo::exists(out));
    }
};

QTEST_GUILESS_MAIN(PlacementTest)
#include "tst_placement.moc"
