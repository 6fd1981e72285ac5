#include "OutputPlacement.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

class PlacementTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void uniqueName_data();
    void uniqueName();
    void reservationsKeepJobsApart();
    void publishNeverReplaces();
    void publishAcrossFileSystemsLeavesNoHiddenCopy();
    void dateStepSetsOnlyModificationTime();
    void missingSourceHasNoCreationDate();
};

void PlacementTest::uniqueName_data() {
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty folder") << QStringList{} << "photo.webp"
                                  << "photo.webp";
    QTest::newRow("taken once") << QStringList{"photo.webp"} << "photo.webp"
                                << "photo(1).webp";
    QTest::newRow("taken twice") << QStringList{"photo.webp", "photo(1).webp"} << "photo.webp"
                                 << "photo(2).webp";
    QTest::newRow("case differs only") << QStringList{"Photo.webp"} << "photo.webp"
                                       << "photo.webp";
    QTest::newRow("dots in base") << QStringList{"a.b.jpg"} << "a.b.jpg"
                                  << "a.b(1).jpg";
    QTest::newRow("parentheses cut at first (")
        << QStringList{"holiday (old).jpg"} << "holiday (old).jpg"
        << "holiday (1).jpg";
    QTest::newRow("open parenthesis only") << QStringList{"a(b.webp", "a(b(1).webp"} << "a(b.webp"
                                           << "a(2).webp";
    QTest::newRow("other extension does not count") << QStringList{"photo.png"} << "photo.webp"
                                                    << "photo.webp";
}

void PlacementTest::uniqueName() {
    QFETCH(QStringList, existing);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    for (const QString& e : existing)
        TestFiles::writeBytes(dir.filePath(e), "x");
    QCOMPARE(OutputPlacement::returnSaveImageName(name, dir.path(), 1), dir.filePath(expected));
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

void PlacementTest::publishAcrossFileSystemsLeavesNoHiddenCopy() {
    // /dev/shm is tmpfs: publishing from there into the build tree crosses file systems.
    if (!QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        QSKIP("no tmpfs to cross from");
    QTemporaryDir source(QStringLiteral("/dev/shm/tessaro-test-XXXXXX"));
    QTemporaryDir target;
    const QString result = TestFiles::writeBytes(source.filePath("r"), QByteArray(300000, 'w'));
    QString error;
    const auto placed =
        OutputPlacement::publishNoReplace(result, target.filePath("out.png"), {}, &error);
    QVERIFY2(placed.has_value(), qPrintable(error));
    QCOMPARE(QFileInfo(*placed).size(), 300000);
    QCOMPARE(QDir(target.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.png"});
}

void PlacementTest::dateStepSetsOnlyModificationTime() {
    QTemporaryDir dir;
    const QString out = TestFiles::writeBytes(dir.filePath("out.png"), "x");
    const QDateTime when = QDateTime::fromSecsSinceEpoch(1'000'000'000);
    OutputPlacement::applyDateStep(when, out);
    QCOMPARE(QFileInfo(out).lastModified(), when);
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
