#include "OutputPlacement.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using TestFiles::entries;
using TestFiles::permissionBits;
using TestFiles::UmaskScope;

namespace {

// A file name of exactly `bytes` bytes.
QString nameOfBytes(int bytes, const QString& extension) {
    return TestFiles::stemOfBytes(bytes - 1 - int(extension.size())) + u'.' + extension;
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
    const QByteArray moved = QByteArray(name) + ".moved";
    ::renameat(folder, name, folder, moved.constData());
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
    void uniqueName_data();
    void uniqueName();
    void reservationsKeepJobsApart();
    void publishNeverReplaces();
    void publishOnOtherFileSystems_data();
    void publishOnOtherFileSystems();
    void publishNamesThatDoNotFit();
    void publishAcrossFileSystemsLeavesNoHiddenCopy();
    void datesAreSetBeforeTheResultIsVisible();
    void mirroredFoldersAreNeverLinks();
};

void PlacementTest::uniqueName_data() {
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    auto row = [](const char* tag, const QStringList& existing, const char* name,
                  const char* expected) {
        QTest::newRow(tag) << existing << QString(name) << QString(expected);
    };
    row("empty folder", {}, "photo.webp", "photo.webp");
    row("taken once", {"photo.webp"}, "photo.webp", "photo(1).webp");
    row("taken twice", {"photo.webp", "photo(1).webp"}, "photo.webp", "photo(2).webp");
    row("case differs only", {"Photo.webp"}, "photo.webp", "photo.webp");
    row("dots in base", {"a.b.jpg"}, "a.b.jpg", "a.b(1).jpg");
    row("parentheses cut at first (", {"holiday (old).jpg"}, "holiday (old).jpg",
        "holiday (1).jpg");
    row("open parenthesis only", {"a(b.webp", "a(b(1).webp"}, "a(b.webp", "a(2).webp");
    row("other extension does not count", {"photo.png"}, "photo.webp", "photo.webp");
    // Names are limited in bytes: 255 fit, with "(1)" they would not.
    const QString full = nameOfBytes(255, "webp");
    QTest::newRow("255 bytes, free") << QStringList{} << full << full;
    QTest::newRow("255 bytes, taken: no name fits") << QStringList{full} << full << QString();
    QTest::newRow("252 bytes, taken: (1) fits")
        << QStringList{nameOfBytes(252, "webp")} << nameOfBytes(252, "webp")
        << nameOfBytes(252, "webp").chopped(5) + "(1).webp";
}

void PlacementTest::uniqueName() {
    QFETCH(QStringList, existing);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    for (const QString& e : existing)
        TestFiles::writeBytes(dir.filePath(e), "x");
    QCOMPARE(OutputPlacement::uniqueName(name, dir.path(), 1),
             expected.isEmpty() ? QString() : dir.filePath(expected));
    OutputReservations reservations;
    QCOMPARE(reservations.reserve(name, dir.path()),
             expected.isEmpty() ? QString() : dir.filePath(expected));
    QCOMPARE(reservations.all().size(), expected.isEmpty() ? 0 : 1);
}

void PlacementTest::reservationsKeepJobsApart() {
    QTemporaryDir dir;
    TestFiles::writeBytes(dir.filePath("photo(1).webp"), "x");
    OutputReservations reservations;
    QCOMPARE(reservations.reserve("photo.webp", dir.path()), dir.filePath("photo.webp"));
    QCOMPARE(reservations.reserve("photo.webp", dir.path()), dir.filePath("photo(2).webp"));
    // A dangling link is an entry too: its name is not free.
    QVERIFY(::symlink("/nonexistent/target",
                      QFile::encodeName(dir.filePath("x.webp")).constData()) == 0);
    QCOMPARE(reservations.reserve("x.webp", dir.path()), dir.filePath("x(1).webp"));
}

void PlacementTest::publishNeverReplaces() {
    QTemporaryDir dir;
    const QString existing = TestFiles::writeBytes(dir.filePath("photo.webp"), "users own file");
    const QString result = TestFiles::writeBytes(dir.filePath("tmp-result"), "new result");
    // The name was free when chosen but is taken by the time we publish.
    const auto placed = publish(result, existing);
    QCOMPARE(placed.path, dir.filePath("photo(1).webp"));
    QCOMPARE(TestFiles::head(existing, 100), QByteArray("users own file"));
    QCOMPARE(TestFiles::head(placed.path, 100), QByteArray("new result"));
    QVERIFY(!QFileInfo::exists(result));

    // Names promised to other jobs are skipped as well.
    const QString second = TestFiles::writeBytes(dir.filePath("tmp-2"), "second");
    const auto placed2 =
        publish(second, existing, [&](const QString& p) { return p.endsWith("photo(2).webp"); });
    QCOMPARE(placed2.path, dir.filePath("photo(3).webp"));
}

void PlacementTest::publishOnOtherFileSystems_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("umask");
    QTest::addColumn<QString>("failure"); // "", "copy" or "name" (no free name fits)
    for (const int mask : {022, 077, 002}) {
        const QString m = QString::number(mask, 8);
        QTest::addRow("other device, umask %s", qPrintable(m)) << "xdev" << mask << "";
        QTest::addRow("other device without unnamed files, umask %s", qPrintable(m))
            << "xdev-named" << mask << "";
    }
    QTest::newRow("no RENAME_NOREPLACE: link and unlink") << "einval" << 022 << "";
    for (const char* fault : {"xdev", "xdev-named"}) {
        QTest::addRow("%s, copy fails", fault) << fault << 022 << "copy";
        QTest::addRow("%s, no free name fits", fault) << fault << 022 << "name";
    }
}

void PlacementTest::publishOnOtherFileSystems() {
    QFETCH(QString, fault);
    QFETCH(int, umask);
    QFETCH(QString, failure);
    const bool copyFails = failure == "copy";
    const UmaskScope scopedUmask(umask);
    const FaultScope faults(fault == "einval" ? renameUnsupported : renameAcrossDevices,
                            fault == "xdev-named");
    QTemporaryDir dir;
    const QString out = dir.filePath("out");
    QDir().mkpath(out);
    QDir().mkpath(dir.filePath("elsewhere"));
    const QString taken = failure == "name" ? nameOfBytes(255, "webp") : QString("photo.webp");
    const QString existing = TestFiles::writeBytes(out + u'/' + taken, "users own file");
    // A folder opens but cannot be read: the copy fails half-way.
    const QString result =
        copyFails ? dir.filePath("elsewhere/folder")
                  : TestFiles::writeBytes(dir.filePath("elsewhere/r"), QByteArray(300000, 'w'));
    QDir().mkpath(dir.filePath("elsewhere/folder"));
    // The work file's own mode must not leak into a copied result.
    if (fault != "einval")
        QFile::setPermissions(result, QFile::ReadOwner | QFile::WriteOwner);
    const auto placed = publish(result, existing);
    QCOMPARE(TestFiles::head(existing, 100), QByteArray("users own file"));
    if (!failure.isEmpty()) {
        // Only the user's own files remain: no hidden copy, no half file.
        QVERIFY2(!placed.ok() && placed.message.contains(existing), qPrintable(placed.message));
        QCOMPARE(placed.reason, copyFails ? Reason::WriteFailed : Reason::NameTooLong);
        QCOMPARE(entries(out), QStringList{taken});
        return;
    }
    QVERIFY2(placed.ok(), qPrintable(placed.message));
    QCOMPARE(placed.path, out + "/photo(1).webp");
    QCOMPARE(TestFiles::head(placed.path, 300000), QByteArray(300000, 'w'));
    QCOMPARE(permissionBits(placed.path), 0666 & ~umask);
    QVERIFY(!QFileInfo::exists(result));
    // No hidden copy, no leftover temporary.
    QCOMPARE(entries(out), (QStringList{"photo(1).webp", "photo.webp"}));
}

void PlacementTest::publishNamesThatDoNotFit() {
    QTemporaryDir dir;
    const QString full = TestFiles::writeBytes(dir.filePath(nameOfBytes(255, "webp")), "mine");
    const QString result = TestFiles::writeBytes(dir.filePath("r"), "result");
    // Free when reserved, taken at publish: "(1)" would not fit.
    auto placed = publish(result, full);
    QCOMPARE(placed.reason, Reason::NameTooLong);
    QVERIFY2(placed.message.contains(full), qPrintable(placed.message));
    // The file system itself refuses the name.
    placed = publish(result, dir.filePath(nameOfBytes(256, "webp")));
    QCOMPARE(placed.reason, Reason::NameTooLong);
    QCOMPARE(TestFiles::head(full, 10), QByteArray("mine"));
    QCOMPARE(entries(dir.path()), (QStringList{"r", nameOfBytes(255, "webp")}));
}

void PlacementTest::publishAcrossFileSystemsLeavesNoHiddenCopy() {
    // /dev/shm is tmpfs: publishing from there into the build tree crosses file systems.
    if (!QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        QSKIP("no tmpfs to cross from");
    QTemporaryDir source(QStringLiteral("/dev/shm/tessaro-test-XXXXXX"));
    QTemporaryDir target;
    struct stat a, b;
    if (::stat("/dev/shm", &a) != 0 || ::stat(QFile::encodeName(target.path()), &b) != 0 ||
        a.st_dev == b.st_dev)
        QSKIP("the temporary folder is on /dev/shm's file system");
    for (const int mask : {022, 077}) {
        const UmaskScope scopedUmask(mask);
        const QString name = QStringLiteral("out%1.png").arg(mask);
        const QString result = TestFiles::writeBytes(source.filePath("r"), QByteArray(300000, 'w'));
        QFile::setPermissions(result, QFile::ReadOwner | QFile::WriteOwner);
        const auto placed = publish(result, target.filePath(name));
        QVERIFY2(placed.ok(), qPrintable(placed.message));
        QCOMPARE(QFileInfo(placed.path).size(), 300000);
        QCOMPARE(permissionBits(placed.path), 0666 & ~mask);
    }
    QCOMPARE(entries(target.path()), (QStringList{"out18.png", "out63.png"}));
}

void PlacementTest::datesAreSetBeforeTheResultIsVisible() {
    QTemporaryDir dir;
    const QDateTime when = QDateTime::fromSecsSinceEpoch(1'000'000'000);
    const QDateTime accessed = QDateTime::fromSecsSinceEpoch(1'500'000'000);
    const QString result = TestFiles::writeBytes(dir.filePath("r"), "result");
    QFile file(result);
    QVERIFY(file.open(QIODevice::ReadWrite) &&
            file.setFileTime(accessed, QFileDevice::FileAccessTime));
    file.close();
    auto placed = publish(result, dir.filePath("out.png"), {}, when);
    QCOMPARE(QFileInfo(placed.path).lastModified(), when);
    QCOMPARE(QFileInfo(placed.path).lastRead(), accessed); // only the modification time

    // A link swapped in for the fresh result leads nowhere: the path is never touched again.
    const QString victim = TestFiles::writeBytes(dir.filePath("victim"), "mine");
    const QDateTime victimTime = QFileInfo(victim).lastModified();
    victimOfTheSwap = QFile::encodeName(victim);
    const FaultScope faults(renameThenSwapForLink, false);
    placed = publish(TestFiles::writeBytes(dir.filePath("r2"), "second"),
                     dir.filePath("swapped.png"), {}, when);
    QVERIFY(placed.ok());
    QCOMPARE(QFileInfo(victim).lastModified(), victimTime);
    QCOMPARE(QFileInfo(dir.filePath("swapped.png.moved")).lastModified(), when);
}

void PlacementTest::mirroredFoldersAreNeverLinks() {
    QTemporaryDir dir;
    const QString out = dir.filePath("out");
    QDir().mkpath(out);
    QDir().mkpath(dir.filePath("elsewhere"));
    QVERIFY(QFile::link(dir.filePath("elsewhere"), out + "/sub"));
    const auto into = [&](const QString& subfolder) {
        return OutputPlacement::publishNoReplace(TestFiles::writeBytes(dir.filePath("r"), "x"), out,
                                                 subfolder, "x.webp", {});
    };
    // A planted link, at the first level or deeper, fails the job; nothing lands behind it.
    QDir().mkpath(out + "/a");
    QVERIFY(QFile::link(dir.filePath("elsewhere"), out + "/a/sub"));
    for (const QString& subfolder : {QStringLiteral("sub"), QStringLiteral("a/sub/b")}) {
        const auto placed = into(subfolder);
        QCOMPARE(placed.reason, Reason::LinkInOutputTree);
        const QString link = out + u'/' + subfolder.left(subfolder.indexOf("sub") + 3);
        QVERIFY2(placed.message.contains(link + " is a link"), qPrintable(placed.message));
        QVERIFY(entries(dir.filePath("elsewhere")).isEmpty());
    }
    // Real folders are made as needed; a vanished output folder is never made again.
    QCOMPARE(into("c/d").path, out + "/c/d/x.webp");
    QVERIFY(QDir(out).removeRecursively());
    QCOMPARE(into("c/d").reason, Reason::WriteFailed);
    QVERIFY(!QFileInfo::exists(out));
}

QTEST_GUILESS_MAIN(PlacementTest)
#include "tst_placement.moc"
