#include "InputNormaliser.h"
#include "JobList.h"
#include "TestFiles.h"

#include <QImageReader>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The job list, the content checks and the lossless copies.
class JobListTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void duplicatesLocksAndRemoval() {
        JobList list;
        QSignalSpy appended(&list, &JobList::appended);
        QVERIFY(list.addPath("/x/one/photo.webp"));
        QVERIFY(!list.addPath("/x/one/photo.webp"));
        QVERIFY(list.addPath("/x/two/photo.webp")); // same name, other folder: a second job
        QVERIFY(list.addPath("/X/one/photo.webp")); // paths compare case-sensitively
        QCOMPARE(list.appendJobs({makeJob("/x/three.webp"), makeJob("/x/three.webp"),
                                  makeJob("/x/one/photo.webp")}),
                 1);
        QCOMPARE(appended.count(), 4);
        QVERIFY(list.removeAt(1) && !list.removeAt(99));
        QCOMPARE(list.at(1).path, QStringLiteral("/X/one/photo.webp"));
        // The index follows the renumbering: the removed path may come back, the others may not.
        QVERIFY(list.addPath("/x/two/photo.webp"));
        QVERIFY(!list.addPath("/x/three.webp"));
        // A run holds the list: no structural change until it lets go.
        list.setLocked(true);
        QVERIFY(!list.addPath("/x/b.webp") && !list.removeAt(0) && !list.clear());
        QCOMPARE(list.appendJobs({makeJob("/x/c.webp")}), 0);
        QCOMPARE(list.count(), 4);
        list.setLocked(false);
        QVERIFY(list.clear() && list.addPath("/x/three.webp"));
    }

    void contentChecks_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("jpeg");
        QTest::addColumn<bool>("animatedWebp");
        const QByteArray vp8x("RIFF\x1e\0\0\0WEBPVP8X\x0a\0\0\0", 20);
        QTest::newRow("empty") << QByteArray() << false << false;
        QTest::newRow("one byte") << QByteArray("\xff") << false << false;
        QTest::newRow("jpeg marker") << QByteArray("\xff\xd8") << true << false;
        QTest::newRow("marker reversed") << QByteArray("\xd8\xff") << false << false;
        QTest::newRow("animated webp") << vp8x + '\x02' << false << true;
        QTest::newRow("webp with alpha only") << vp8x + '\x10' << false << false;
        QTest::newRow("short header") << vp8x << false << false;
    }

    void contentChecks() {
        QFETCH(QByteArray, content);
        QFETCH(bool, jpeg);
        QFETCH(bool, animatedWebp);
        QTemporaryDir dir; // the name does not matter, only the content does
        const QString path = TestFiles::writeBytes(dir.filePath("x.png"), content);
        QCOMPARE(InputNormaliser::hasJpegContent(path), jpeg);
        QCOMPARE(makeJob(path).jpegContent, jpeg);
        QCOMPARE(InputNormaliser::isAnimatedWebp(path), animatedWebp);
    }

    void copies() {
        QTemporaryDir dir;
        // Transparency is flattened onto white when the result must be JPEG.
        const QString clear = TestFiles::writeImage(dir.filePath("clear.png"), "png", {8, 8}, true);
        const QByteArray jpeg = InputNormaliser::encodeJpeg(
            InputNormaliser::flattenOntoWhite(InputNormaliser::readUpright(clear, 1)), 90);
        QVERIFY(qGray(QImage::fromData(jpeg, "JPEG").pixel(7, 0)) > 240);
        // A lossless copy keeps transparency; an undecodable source gives none.
        QVERIFY(QImage(InputNormaliser::writeLosslessCopy(clear, dir.filePath("c"), 1))
                    .hasAlphaChannel());
        const QString broken = TestFiles::writeBytes(dir.filePath("b.jpg"), "\xff\xd8garbage");
        QVERIFY(InputNormaliser::writeLosslessCopy(broken, dir.filePath("b"), 1).isEmpty());
        QVERIFY(!InputNormaliser::toolReadsJpeg(broken));

        // Orientation 6 ("turn 90 degrees clockwise"): the copy holds the upright 20x40 pixels.
        const QString plain = TestFiles::writeImage(dir.filePath("plain.jpg"), "jpeg", {40, 20});
        QVERIFY(InputNormaliser::toolReadsJpeg(plain));
        QCOMPARE(QImage(InputNormaliser::writeLosslessCopy(plain, dir.filePath("r"), 6)).size(),
                 QSize(20, 40));
        // Every orientation lands the stored top-left corner where a viewer shows it.
        QImage corner(2, 3, QImage::Format_RGB32);
        corner.fill(Qt::white);
        corner.setPixel(0, 0, qRgb(255, 0, 0));
        const QPoint expected[] = {{0, 0}, {1, 0}, {1, 2}, {0, 2}, {0, 0}, {2, 0}, {2, 1}, {0, 1}};
        for (int orientation = 1; orientation <= 8; ++orientation)
            QCOMPARE(InputNormaliser::upright(corner, orientation).pixel(expected[orientation - 1]),
                     qRgb(255, 0, 0));

        // The largest image intake accepts must decode too.
        const QString large =
            TestFiles::writeImage(dir.filePath("large.jpg"), "jpeg", {8000, 8000});
        QCOMPARE(
            QImageReader(InputNormaliser::writeLosslessCopy(large, dir.filePath("l"), 1)).size(),
            QSize(8000, 8000));
    }
};

QTEST_GUILESS_MAIN(JobListTest)
#include "tst_joblist.moc"
