#include "FileIntake.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace FileIntake;
using TestFiles::writeBytes;

namespace {

QStringList jobs(const IntakeResult& result) {
    QStringList paths;
    for (const Job& job : result.jobs)
        paths << job.path;
    return paths;
}

} // namespace

class FileIntakeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Per mode: the names taken, then the names refused (case-sensitive, last dot counts). A
    // folder scan takes them in listing order, hidden ones and links to files too, never
    // subfolders or links to folders, whatever their names.
    void extensionCheck_data() {
        QTest::addColumn<ConvertMode>("mode");
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QStringList>("refused");
        auto row = [](ConvertMode mode, const char* taken, const char* refused) {
            QTest::addRow("%s", QMetaEnum::fromType<ConvertMode>().valueToKey(int(mode)))
                << mode << QString(taken).split(' ') << QString(refused).split(' ');
        };
        row(ConvertMode::WebpToJpg, "a.webp a.WEBP", "a.Webp a.png webp a.gif");
        row(ConvertMode::WebpToPng, "b.webp a.WEBP", "a.jpg a.webp.png");
        row(ConvertMode::ImageToWebp, "a.png a.jpg a.jpeg a.PNG a.JPG a.JPEG",
            "a.Jpg a.webp a.gif a.jpeg.txt");
        row(ConvertMode::GifToWebp, "a.gif a.GIF a.txt.gif", "a.Gif a.gif.txt a.png");
    }

    void extensionCheck() {
        QFETCH(ConvertMode, mode);
        QFETCH(QStringList, taken);
        QFETCH(QStringList, refused);
        QTemporaryDir dir;
        const QString extension = taken[0].section(u'.', -1);
        taken << ".hidden." + extension << "linked." + extension;
        QStringList takenPaths, refusedPaths;
        for (const QString& name : taken + refused) {
            const QString path = dir.filePath(name);
            (taken.contains(name) ? takenPaths : refusedPaths) << path;
            QVERIFY(name.startsWith("linked") ? QFile::link(takenPaths[0], path)
                                              : QFile::exists(writeBytes(path, "x")));
        }
        const QString sub = dir.filePath("sub." + extension);
        QVERIFY(QDir().mkpath(sub) && QFile::link(sub, dir.filePath("l." + extension)));
        writeBytes(sub + "/in." + extension, "x");
        const auto checked = collect(takenPaths + refusedPaths, {mode}, {}, 20, true);
        QCOMPARE(jobs(checked), takenPaths);
        QCOMPARE(checked.skipped.size(), refusedPaths.size()); // the rest, nothing dropped
        for (const SkippedPath& skipped : checked.skipped)
            QCOMPARE(skipped.reason, Reason::WrongExtension);
        const auto filter = QDir::AllEntries | QDir::Hidden | QDir::CaseSensitive;
        const QStringList inListingOrder =
            QDir(dir.path()).entryList(taken, filter, QDir::Unsorted);
        QCOMPARE(inListingOrder.size(), taken.size());
        QCOMPARE(scanFolder({mode}, dir.path()).replaceInStrings(dir.path() + u'/', ""),
                 inListingOrder);
        QCOMPARE(scanFolder({mode}, dir.filePath("missing")), QStringList{});
        // The open panel's choice is taken without the check.
        QCOMPARE(collect(refusedPaths, {mode}, {}, 20, false).jobs.size(), refusedPaths.size());
    }

    // A FIFO is skipped, duplicates cost no room, the rest is kept.
    void dropKeepsEveryAcceptableFile() {
        QTemporaryDir dir;
        const QString a = writeBytes(dir.filePath("a.webp"), "not an image: passes as 0 x 0");
        const QString fifo = dir.filePath("pipe.webp");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString listed = writeBytes(dir.filePath("listed.webp"), "x");
        const QString missing = dir.filePath("missing.webp");
        const auto result =
            collect({a, fifo, a, listed, missing}, {ConvertMode::WebpToJpg}, {listed}, 2, true);
        QCOMPARE(jobs(result), (QStringList{a, missing}));
        QCOMPARE(result.jobs.at(1).sourceBytes, 0);
        QCOMPARE(result.skipped.size(), 1);
        QVERIFY(result.skipped.at(0).path == fifo &&
                result.skipped.at(0).reason == Reason::NotRegularFile);
        QVERIFY(!result.oversize && !result.listFull && result.dropped.isEmpty());
    }

    // A folder whose name is not valid UTF-8 is reported with its reason, and left, and lands
    // in the intake result's skipped list (which the window counts). Such file names: CliTest.
    void invalidUtf8FolderIsSkippedWithReason() {
        QTemporaryDir dir;
        const QByteArray bad = QFile::encodeName(dir.path()) + "/old\xe9";
        QVERIFY(::mkdir(bad, 0755) == 0 && ::close(::creat(bad + "/in.png", 0644)) == 0);
        const QString ok = writeBytes(dir.filePath("ok.png"), "x");
        const QList<ConvertMode> still{ConvertMode::ImageToWebp};
        const Expansion expansion = expand({dir.path()}, still, true);
        QCOMPARE(expansion.candidates, QStringList{ok});
        QCOMPARE(expansion.skipped.size(), 1);
        QCOMPARE(expansion.skipped[0].path, dir.filePath("old\\xe9"));
        QCOMPARE(expansion.skipped[0].reason, Reason::NotUtf8FolderName);
        auto result = collect(expansion.candidates, still, {}, 10, false);
        applyExpansion(expansion, &result);
        QCOMPARE(jobs(result), QStringList{ok});
        QCOMPARE(result.skipped.size(), 1);
        // QTemporaryDir cannot remove what it cannot name.
        ::unlink(bad + "/in.png");
        ::rmdir(bad);
    }

    void pixelLimit_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("dotsPerMeter"); // 0: no resolution recorded
        QTest::addColumn<bool>("taken");
        QTest::newRow("png 8000x8000") << 8000 << 8000 << "png" << 0 << true;
        QTest::newRow("png 1x8001") << 1 << 8001 << "png" << 0 << false;
        QTest::newRow("jpeg 8000x2") << 8000 << 2 << "jpeg" << 0 << true;
        QTest::newRow("jpeg 2x8001") << 2 << 8001 << "jpeg" << 0 << false;
        // 300 dpi would make 8001 pixels a nominal 1920; 36 dpi would make 8000 a nominal 16000.
        QTest::newRow("png 8001x1 at 300 dpi") << 8001 << 1 << "png" << 11811 << false;
        QTest::newRow("png 8000x1 at 36 dpi") << 8000 << 1 << "png" << 1417 << true;
        if (QImageWriter::supportedImageFormats().contains("webp"))
            QTest::newRow("webp 1x8001") << 1 << 8001 << "webp" << 0 << false;
    }

    void pixelLimit() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QString, format);
        QFETCH(int, dotsPerMeter);
        QFETCH(bool, taken);
        QTemporaryDir dir;
        QImage image(width, height, QImage::Format_Mono); // 1 bit deep: 8000 x 8000 stays small
        image.fill(0);
        image.setDotsPerMeterX(dotsPerMeter > 0 ? dotsPerMeter : image.dotsPerMeterX());
        image.setDotsPerMeterY(dotsPerMeter > 0 ? dotsPerMeter : image.dotsPerMeterY());
        const QString big = dir.filePath("big." + format), small = dir.filePath("small." + format);
        QVERIFY(image.save(big) && image.copy(0, 0, 3, 3).save(small));
        QVERIFY(dotsPerMeter == 0 || TestFiles::head(big, 1000).contains("pHYs"));
        const ConvertMode mode =
            format == "webp" ? ConvertMode::WebpToJpg : ConvertMode::ImageToWebp;
        const auto result = collect({big, small}, {mode}, {}, 10, true);
        QCOMPARE(jobs(result), taken ? (QStringList{big, small}) : QStringList{small});
        QCOMPARE(result.oversize, !taken);
        QCOMPARE(result.oversized, taken ? QStringList{} : QStringList{big});
        QVERIFY(result.skipped.isEmpty());
    }
};

QTEST_GUILESS_MAIN(FileIntakeTest)
#include "tst_intake.moc"
