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
int renameThenSwapForLink(const char* from, int folder, const char* name) {
    if (::renameat2(AT_FDCWD, from, folder, name, RENAME_NOREPLACE) != 0)
        return -1;
    ::renameat(folder, name, folder, (QByteArray(name) + ".moved").constData());
    return ::symlinkat("photo.webp", folder, name);
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
        const QString full = stemOfBytes(250) + ".webp", shorter = stemOfBytes(247) + ".webp";
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
    // with the mode the umask gives a new file and the date asked for, which it has when it
    // appears: a link swapped in for it afterwards leads nowhere, as its path is never touched
    // again. When the copy fails or no name fits, only the user's own files remain: no hidden
    // copy, no half file.
    void publishNeverReplaces_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("umask");
        QTest::addColumn<QString>("failure"); // "", "copy", "name" (no free name fits) or "long"
        QTest::newRow("same file system") << "" << 022 << "";
        QTest::newRow("no free name fits") << "" << 022 << "name";
        QTest::newRow("name the file system refuses") << "" << 022 << "long";
        QTest::newRow("no RENAME_NOREPLACE: link and unlink") << "einval" << 022 << "";
        QTest::newRow("result swapped for a link once placed") << "swap" << 022 << "";
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
                                : fault == "swap" ? renameThenSwapForLink
                                : fault.isEmpty() ? nullptr
                                                  : renameAcrossDevices,
                                fault == "xdev-named");
        QTemporaryDir dir;
        const QString out = dir.filePath("out");
        QDir().mkpath(out);
        QDir().mkpath(dir.filePath("elsewhere/folder"));
        const QString taken = failure == "name" ? stemOfBytes(250) + ".webp" : "photo.webp";
        const QString existing = writeBytes(out + u'/' + taken, "users own file");
        const QDateTime existingDate = QFileInfo(existing).lastModified();
        QVERIFY(QFile::link("/nonexistent", out + "/photo(1).webp"));
        // A folder opens but cannot be read: the copy fails half-way.
        const QString result =
            failure == "copy" ? dir.filePath("elsewhere/folder")
                              : writeBytes(dir.filePath("elsewhere/r"), QByteArray(300000, 'w'));
        // The work file's own mode must not leak into a copied result.
        if (fault.startsWith("xdev"))
            QFile::setPermissions(result, QFile::ReadOwner | QFile::WriteOwner);
        const QString name = failure == "long" ? stemOfBytes(251) + ".webp" : taken; // 256 bytes
        const QDateTime when = QDateTime::fromSecsSinceEpoch(1'000'000'000);
        const auto placed = OutputPlacement::publishNoReplace(
            result, out, {}, name, [](const QString& p) { return p.endsWith("/photo(2).webp"); },
            when);
        QCOMPARE(head(existing, 100), QByteArray("users own file"));
        QCOMPARE(QFileInfo(existing).lastModified(), existingDate);
        if (!failure.isEmpty()) {
            QVERIFY2(!placed.ok() && placed.message.contains(out + u'/' + name),
                     qPrintable(placed.message));
            QCOMPARE(placed.reason, failure == "copy" ? Reason::WriteFailed : Reason::NameTooLong);
            QCOMPARE(entries(out), QStringList{taken});
            return;
        }
        QVERIFY2(placed.ok(), qPrintable(placed.message));
        QCOMPARE(placed.path, out + "/photo(3).webp");
        const QString landed = placed.path + (fault == "swap" ? ".moved" : "");
        QCOMPARE(head(landed, 300000), QByteArray(300000, 'w'));
        QCOMPARE(permissionBits(landed), 0666 & ~umask);
        QCOMPARE(QFileInfo(landed).lastModified(), when);
        QVERIFY(!QFileInfo::exists(result));
        QStringList expected{"photo(3).webp", QFileInfo(landed).fileName(), "photo.webp"};
        expected.removeDuplicates();
        QCOMPARE(entries(out), expected);
    }

    // A link planted below a real mirrored folder fails the job; nothing lands behind it (one
    // at the first level: CliTest). Real folders are made as needed; a vanished output folder
    // is never made again.
    void mirroredFoldersAreNeverLinks() {
        QTemporaryDir dir;
        const QString out = dir.filePath("out");
        QVERIFY(QDir().mkpath(out + "/a") && QDir().mkpath(dir.filePath("elsewhere")));
        QVERIFY(QFile::link(dir.filePath("elsewhere"), out + "/a/sub"));
        const auto into = [&](const QString& subfolder) {
            return OutputPlacement::publishNoReplace(writeBytes(dir.filePath("r"), "x"), out,
                                                     subfolder, "x.webp", {});
        };
        const auto placed = into("a/sub/b");
        QVERIFY2(placed.reason == Reason::LinkInOutputTree &&
                     placed.message.contains(out + "/a/sub"),
                 qPrintable(placed.message));
        QVERIFY(entries(dir.filePath("elsewhere")).isEmpty());
        QCOMPARE(into("c/d").path, out + "/c/d/x.webp");
        QVERIFY(QDir(out).removeRecursively());
        QCOMPARE(into("c/d").reason, Reason::WriteFailed);
        QVERIFY(!QFileInfo::exists(out));
    }
};

QTEST_GUILESS_MAIN(PlacementTest)
#include "tst_placement.moc"
