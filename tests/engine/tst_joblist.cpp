#include "InputNormaliser.h"
#include "JobList.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "Settings.h"
#include "SettingsKeys.h"
#include "TestFiles.h"

#include <QImageReader>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The job list, the records intake makes, the JPEG check and copies, and the small
// settings and notification layers the engine shares with the front ends.
class JobListTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void recordFromPath();
    void duplicatesAndRemoval();
    void lockedListRefusesChanges();
    void standardFormatCheck_data();
    void standardFormatCheck();
    void normalisedCopies();
    void copiesApplyOrientationAndDecodeLargeImages();
    void settingsReadBackAndNumericText();
    void notificationsReachLiveObserversOnly();
};

void JobListTest::recordFromPath() {
    QTemporaryDir dir;
    const QString path = TestFiles::writeBytes(dir.filePath("a.b.webp"), QByteArray(2500, 'x'));
    const PicModel job = makePicModel(path);
    QCOMPARE(job.name, QStringLiteral("a.b.webp"));
    QCOMPARE(job.size, 2.5);
    QCOMPARE(job.completed, JobState::Waiting);
    QVERIFY(job.isStandard);
    QCOMPARE(makePicModel(dir.filePath("missing.webp")).size, 0.0);
}

void JobListTest::duplicatesAndRemoval() {
    JobList list;
    QSignalSpy appended(&list, &JobList::appended);
    QVERIFY(list.addData("/x/one/photo.webp"));
    QVERIFY(!list.addData("/x/one/photo.webp"));
    QVERIFY(list.addData("/x/two/photo.webp")); // same name, other folder: a second job
    QVERIFY(list.addData("/X/one/photo.webp")); // paths compare case-sensitively
    QCOMPARE(list.appendJobs({makePicModel("/x/three.webp"), makePicModel("/x/three.webp"),
                              makePicModel("/x/one/photo.webp")}),
             1);
    QCOMPARE(list.count(), 4);
    QCOMPARE(appended.count(), 4);

    QVERIFY(list.removeAt(1));
    QCOMPARE(list.pathArr(),
             (QStringList{"/x/one/photo.webp", "/X/one/photo.webp", "/x/three.webp"}));
    for (qsizetype i = 0; i < list.count(); ++i)
        QCOMPARE(list.at(i).url, list.pathArr().at(i));
    // The index follows the renumbering: the removed path may come back, the others may not.
    QVERIFY(list.addData("/x/two/photo.webp"));
    QVERIFY(!list.addData("/x/three.webp"));
    QVERIFY(!list.removeAt(99));
    QVERIFY(list.clear());
    QVERIFY(list.isEmpty());
    QVERIFY(list.addData("/x/three.webp"));
}

void JobListTest::lockedListRefusesChanges() {
    JobList list;
    list.addData("/x/a.webp");
    list.setLocked(true);
    QVERIFY(!list.addData("/x/b.webp"));
    QCOMPARE(list.appendJobs({makePicModel("/x/c.webp")}), 0);
    QVERIFY(!list.removeAt(0));
    QVERIFY(!list.clear());
    QCOMPARE(list.count(), 1);
    list.setLocked(false);
    QVERIFY(list.removeAt(0));
}

void JobListTest::standardFormatCheck_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("standard");
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("one byte") << QByteArray("\xff") << true;
    QTest::newRow("jpeg marker") << QByteArray("\xff\xd8") << false;
    QTest::newRow("png") << QByteArray("\x89PNG\r\n") << true;
    QTest::newRow("marker reversed") << QByteArray("\xd8\xff") << true;
}

void JobListTest::standardFormatCheck() {
    QFETCH(QByteArray, content);
    QFETCH(bool, standard);
    QTemporaryDir dir;
    // The name does not matter, only the content does.
    const QString path = TestFiles::writeBytes(dir.filePath("x.png"), content);
    QCOMPARE(InputNormaliser::checkWhetherTheImageIsInAStandardFormatWithPath(path), standard);
    QVERIFY(InputNormaliser::checkWhetherTheImageIsInAStandardFormatWithPath(dir.filePath("none")));
}

void JobListTest::normalisedCopies() {
    QTemporaryDir dir;
    // Transparency is flattened onto white when the result must be JPEG.
    const QString clear = TestFiles::writeImage(dir.filePath("clear.png"), "png", {8, 8}, true);
    QVERIFY(InputNormaliser::reencodeFileAsJpeg(clear, dir.filePath("clear.jpg"), 90, 1));
    const QImage flat(dir.filePath("clear.jpg"));
    QVERIFY(TestFiles::isJpeg(dir.filePath("clear.jpg")));
    QVERIFY(qGray(flat.pixel(7, 0)) > 240);
    // A lossless copy keeps transparency (as PNG) and is raw PPM otherwise.
    const QString alphaCopy = InputNormaliser::writeLosslessCopy(clear, dir.filePath("c"), 1);
    QCOMPARE(alphaCopy, dir.filePath("c.png"));
    QVERIFY(QImage(alphaCopy).hasAlphaChannel());
    const QString broken = TestFiles::writeBytes(dir.filePath("b.jpg"), "\xff\xd8garbage");
    QVERIFY(InputNormaliser::writeLosslessCopy(broken, dir.filePath("b"), 1).isEmpty());
    QVERIFY(!InputNormaliser::toolReadsJpeg(broken));
    QVERIFY(InputNormaliser::toolReadsJpeg(TestFiles::writeImage(dir.filePath("p.jpg"), "jpeg")));
}

void JobListTest::copiesApplyOrientationAndDecodeLargeImages() {
    QTemporaryDir dir;
    // Orientation 6 ("turn 90 degrees clockwise"): the copy holds the upright 20x40 pixels.
    const QString plain = TestFiles::writeImage(dir.filePath("plain.jpg"), "jpeg", {40, 20});
    const QString raw = InputNormaliser::writeLosslessCopy(plain, dir.filePath("r"), 6);
    QCOMPARE(TestFiles::head(raw, 2), QByteArray("P6"));
    QCOMPARE(QImage(raw).size(), QSize(20, 40));
    QVERIFY(InputNormaliser::writeLosslessCopy(dir.filePath("none.jpg"), dir.filePath("n"), 1)
                .isEmpty());

    // Every orientation lands the stored top-left corner where a viewer shows it.
    QImage corner(2, 3, QImage::Format_RGB32);
    corner.fill(Qt::white);
    corner.setPixel(0, 0, qRgb(255, 0, 0));
    const QPoint expected[] = {{0, 0}, {1, 0}, {1, 2}, {0, 2}, {0, 0}, {2, 0}, {2, 1}, {0, 1}};
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const QImage turned = InputNormaliser::upright(corner, orientation);
        QCOMPARE(turned.pixel(expected[orientation - 1]), qRgb(255, 0, 0));
    }

    // The largest image intake accepts must decode too.
    const QString large = TestFiles::writeImage(dir.filePath("large.jpg"), "jpeg", {8000, 8000});
    const QString largeCopy = InputNormaliser::writeLosslessCopy(large, dir.filePath("l"), 1);
    QCOMPARE(QImageReader(largeCopy).size(), QSize(8000, 8000));
}

void JobListTest::settingsReadBackAndNumericText() {
    Settings::setValue(SettingsKeys::Format, QStringLiteral("2"));
    QCOMPARE(Settings::integerValue(SettingsKeys::Format), 2);
    Settings::setValue(SettingsKeys::CompressionRatio, QStringLiteral("0.85"));
    QCOMPARE(Settings::floatValue(SettingsKeys::CompressionRatio), 0.85f);
    Settings::setValue(SettingsKeys::CompressionRatio, QStringLiteral("abc"));
    QCOMPARE(Settings::floatValue(SettingsKeys::CompressionRatio), 0.0f);
    QCOMPARE(Settings::integerValue(SettingsKeys::SavePath), 0); // missing
}

void JobListTest::notificationsReachLiveObserversOnly() {
    NotificationCenter& center = NotificationCenter::defaultCenter();
    QStringList got;
    auto receiver = std::make_unique<QObject>();
    center.observe(NotificationNames::DockDragFile, receiver.get(),
                   [&](const QVariant& v) { got += v.toStringList(); });
    center.post(NotificationNames::DockDragFile, QStringList{"/a.webp"});
    center.post(NotificationNames::Info, QStringList{"/b.webp"});
    receiver.reset();
    center.post(NotificationNames::DockDragFile, QStringList{"/c.webp"});
    QCOMPARE(got, QStringList{"/a.webp"});
}

QTEST_GUILESS_MAIN(JobListTest)
#include "tst_joblist.moc"
