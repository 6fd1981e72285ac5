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
int renameAcrossDevices(const char* from, const char* to) {
    if (QByteArray(from).contains("/elsewhere/")) {
        errno = EXDEV;
        return -1;
    }
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}

// A file system without RENAME_NOREPLACE.
int renameUnsupported(const char*, const char*) {
    errno = EINVAL;
    return -1;
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
    void dateStepSetsOnlyModificationTime();
    void missingSourceHasNoCreationDate();
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
    QCOMPARE(OutputPlacement::returnSaveImageName(name, dir.path(), 1),
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
    QString error;
    // The name was free when chosen but is taken by the time we publish.
    const auto placed = OutputPlacement::publishNoReplace(result, existing, {}, &error);
    QVERIFY2(placed.has_value(), qPrintable(error));
    QCOMPARE(*placed, dir.filePath("photo(1).webp"));
    QCOMPARE(TestFiles::head(existing, 100), QByteArray("users own file"));
    QCOMPARE(TestFiles::head(*placed, 100), QByteArray("new result"));
    QVERIFY(!QFileInfo::exists(result));

    // Names promised to other jobs are skipped as well.
    const QString second = TestFiles::writeBytes(dir.filePath("tmp-2"), "second");
    const auto placed2 = OutputPlacement::publishNoReplace(
        second, existing, [&](const QString& p) { return p == dir.filePath("photo(2).webp"); },
        &error);
    QCOMPARE(placed2.value_or(QString()), dir.filePath("photo(3).webp"));
}

void PlacementTest::publishOnOtherFileSystems_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("umask");
    QTest::addColumn<bool>("copyFails");
    for (const int mask : {022, 077, 002}) {
        const QString m = QString::number(mask, 8);
        QTest::addRow("other device, umask %s", qPrintable(m)) << "xdev" << mask << false;
        QTest::addRow("other device without unnamed files, umask %s", qPrintable(m))
            << "xdev-named" << mask << false;
    }
    QTest::newRow("no RENAME_NOREPLACE: link and unlink") << "einval" << 022 << false;
    QTest::newRow("copy fails") << "xdev" << 022 << true;
    QTest::newRow("copy fails without unnamed files") << "xdev-named" << 022 << true;
}

void PlacementTest::publishOnOtherFileSystems() {
    QFETCH(QString, fault);
    QFETCH(int, umask);
    QFETCH(bool, copyFails);
    const UmaskScope scopedUmask(umask);
    const FaultScope faults(fault == "einval" ? renameUnsupported : renameAcrossDevices,
                            fault == "xdev-named");
    QTemporaryDir dir;
    const QString out = dir.filePath("out");
    QDir().mkpath(out);
    QDir().mkpath(dir.filePath("elsewhere"));
    const QString existing = TestFiles::writeBytes(out + "/photo.webp", "users own file");
    // A folder opens but cannot be read: the copy fails half-way.
    const QString result =
        copyFails ? dir.filePath("elsewhere/folder")
                  : TestFiles::writeBytes(dir.filePath("elsewhere/r"), QByteArray(300000, 'w'));
    QDir().mkpath(dir.filePath("elsewhere/folder"));
    // The work file's own mode must not leak into a copied result.
    if (fault != "einval")
        QFile::setPermissions(result, QFile::ReadOwner | QFile::WriteOwner);
    QString error;
    const auto placed = OutputPlacement::publishNoReplace(result, existing, {}, &error);
    QCOMPARE(TestFiles::head(existing, 100), QByteArray("users own file"));
    if (copyFails) {
        QVERIFY(!placed && error.contains(out + "/photo.webp"));
        QCOMPARE(entries(out), QStringList{"photo.webp"});
        return;
    }
    QVERIFY2(placed.has_value(), qPrintable(error));
    QCOMPARE(*placed, out + "/photo(1).webp");
    QCOMPARE(TestFiles::head(*placed, 300000), QByteArray(300000, 'w'));
    QCOMPARE(permissionBits(*placed), 0666 & ~umask);
    QVERIFY(!QFileInfo::exists(result));
    // No hidden copy, no leftover temporary.
    QCOMPARE(entries(out), (QStringList{"photo(1).webp", "photo.webp"}));
}

void PlacementTest::publishNamesThatDoNotFit() {
    QTemporaryDir dir;
    const QString full = TestFiles::writeBytes(dir.filePath(nameOfBytes(255, "webp")), "mine");
    const QString result = TestFiles::writeBytes(dir.filePath("r"), "result");
    QString error;
    // Free when reserved, taken at publish: "(1)" would not fit.
    QVERIFY(!OutputPlacement::publishNoReplace(result, full, {}, &error));
    QVERIFY2(error.endsWith(OutputPlacement::NameTooLong) && error.contains(full),
             qPrintable(error));
    // The file system itself refuses the name.
    error.clear();
    QVERIFY(!OutputPlacement::publishNoReplace(result, dir.filePath(nameOfBytes(256, "webp")), {},
                                               &error));
    QVERIFY2(error.endsWith(OutputPlacement::NameTooLong), qPrintable(error));
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
        QString error;
        const auto placed =
            OutputPlacement::publishNoReplace(result, target.filePath(name), {}, &error);
        QVERIFY2(placed.has_value(), qPrintable(error));
        QCOMPARE(QFileInfo(*placed).size(), 300000);
        QCOMPARE(permissionBits(*placed), 0666 & ~mask);
    }
    QCOMPARE(entries(target.path()), (QStringList{"out18.png", "out63.png"}));
}

void PlacementTest::dateStepSetsOnlyModificationTime() {
    QTemporaryDir dir;
    const QString out = TestFiles::writeBytes(dir.filePath("out.png"), "x");
    const QDateTime when = QDateTime::fromSecsSinceEpoch(1'000'000'000);
    const QDateTime accessed = QDateTime::fromSecsSinceEpoch(1'500'000'000);
    QFile file(out);
    QVERIFY(file.open(QIODevice::ReadWrite) &&
            file.setFileTime(accessed, QFileDevice::FileAccessTime));
    file.close();
    OutputPlacement::applyDateStep(when, out);
    QCOMPARE(QFileInfo(out).lastModified(), when);
    QCOMPARE(QFileInfo(out).lastRead(), accessed);
    // No date: nothing changes.
    const QDateTime before = QFileInfo(out).lastModified();
    OutputPlacement::applyDateStep(std::nullopt, out);
    QCOMPARE(QFileInfo(out).lastModified(), before);
}

void PlacementTest::missingSourceHasNoCreationDate() {
    QTest::ignoreMessage(
        QtInfoMsg, QRegularExpression("^-- can't get attributesOfItemAtPath:/no/such/file error:"));
    QVERIFY(!OutputPlacement::fileCreateDate(QStringLiteral("/no/such/file")).has_value());
}

QTEST_GUILESS_MAIN(PlacementTest)
#include "tst_placement.moc"
