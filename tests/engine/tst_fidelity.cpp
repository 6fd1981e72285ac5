// Colour profiles, camera metadata and orientation through every mode, checked with the
// exiv2 and webpmux tools rather than with the engine's own reader.
#include "BatchRun.h"
#include "JobList.h"
#include "TaggedImages.h"
#include "TestFiles.h"
#include "ToolCommand.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace TaggedImages;

class FidelityTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> tmp_;
    QString file(const QString& name) const { return tmp_->filePath(name); }

    // Converts one source in mode; the job as the run left it.
    Job convert(const QString& source, ConvertMode mode, bool keepProfile, bool keepMetadata,
                const QString& tools = TestFiles::realToolsDirectory()) {
        RunOptions options;
        options.mode = mode;
        options.outputDirectory = file("out");
        options.workDirectory = file("work");
        options.toolsDirectory = tools;
        options.keepColorProfiles = keepProfile;
        options.keepMetadata = keepMetadata;
        QDir().mkpath(options.outputDirectory);
        JobList list;
        list.addPath(source);
        BatchRun run;
        QSignalSpy finished(&run, &BatchRun::finished);
        if (!run.start(&list, options) || !finished.wait(60000))
            return {};
        return list.at(0);
    }

private Q_SLOTS:
    void init() { tmp_ = std::make_unique<QTemporaryDir>(); }

    // Each mode that carries them, from each source kind, with the profile and the metadata
    // asked for apart (neither travels with the other), and from a source that has neither.
    // A stored orientation is applied to the pixels either way; kept metadata then says 1.
    void carried_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<ConvertMode>("mode");
        QTest::addColumn<bool>("keepProfile");
        QTest::addColumn<bool>("keepMetadata");
        QTest::addColumn<bool>("tagged"); // false: the source has no profile, no metadata
        for (const auto& [name, kind, mode] :
             {std::tuple{"jpg to webp", "jpeg", ConvertMode::ImageToWebp},
              {"png to webp", "png", ConvertMode::ImageToWebp},
              {"webp to jpg", "webp", ConvertMode::WebpToJpg},
              {"webp to png", "webp", ConvertMode::WebpToPng}}) {
            QTest::addRow("%s, profile", name) << kind << mode << true << false << true;
            QTest::addRow("%s, metadata", name) << kind << mode << false << true << true;
            QTest::addRow("%s, untagged", name) << kind << mode << true << true << false;
        }
    }
    void carried() {
        QFETCH(QString, kind);
        QFETCH(ConvertMode, mode);
        QFETCH(bool, keepProfile);
        QFETCH(bool, keepMetadata);
        QFETCH(bool, tagged);
        const bool turned = tagged && kind != "png"; // stored turned 90° clockwise
        const QString source =
            write(file("source." + kind), kind, {tagged, tagged, turned ? 6 : 1});

        const Job job = convert(source, mode, keepProfile, keepMetadata);
        QVERIFY2(job.state == JobState::Converted, qPrintable(job.detail));
        QVERIFY2(job.warning.isEmpty(), qPrintable(job.warning));
        const bool profile = tagged && keepProfile, metadata = tagged && keepMetadata;
        QCOMPARE(job.profileCarried, profile);
        QCOMPARE(job.metadataCarried, metadata);
        const QString out = job.outputPath;
        QCOMPARE(profileOf(out), profile ? wideGamutProfile() : QByteArray());
        if (out.endsWith(".webp"))
            QCOMPARE(webpmuxProfile(out), profile ? wideGamutProfile() : QByteArray());
        const std::pair<const char*, QString> tags[] = {
            {"Exif.Photo.DateTimeOriginal", DateTaken},
            {"Exif.Image.Model", CameraModel},
            {"Exif.GPSInfo.GPSLatitude", "48/1 51/1 24/1"},
            {"Xmp.dc.title", XmpTitle},
            {"Exif.Image.Orientation", turned ? "1" : ""}};
        for (const auto& [key, value] : tags)
            QCOMPARE(tagValue(out, key), metadata ? value : QString());

        QImageReader reader(out);
        reader.setAutoTransform(false); // the pixels themselves must be upright
        const QImage image = reader.read();
        QCOMPARE(image.size(), turned ? QSize(20, 40) : QSize(40, 20));
        // The red corner, top-left as stored, is top-right once upright.
        const QRgb red = image.pixel(turned ? 17 : 2, 2), white = image.pixel(turned ? 2 : 17, 2);
        QVERIFY(qRed(red) > 200 && qGreen(red) < 80 && qGreen(white) > 200);
    }

    // cwebp is given the source itself when it reads it, a lossless copy only when it cannot
    // (CMYK). (One when the pixels must be turned first: carried() finds them upright.)
    void copiesOnlyWhenTheToolNeedsOne_data() {
        QTest::addColumn<QString>("source");
        for (const char* source : {"plain", "progressive", "grey", "jpeg named png", "cmyk"})
            QTest::newRow(source) << source;
    }
    void copiesOnlyWhenTheToolNeedsOne() {
        QFETCH(QString, source);
        const bool cmyk = source == "cmyk";
        const QString path = file(source + (source.endsWith("png") ? ".png" : ".jpg"));
        if (cmyk) {
            writeCmykJpeg(path);
        } else {
            QImage image(24, 24,
                         source == "grey" ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
            image.fill(Qt::blue);
            QImageWriter writer(path, "jpeg");
            writer.setProgressiveScanWrite(source == "progressive");
            QVERIFY(writer.write(image));
        }
        QVERIFY(TestFiles::isJpeg(path));
        // The real cwebp, behind a wrapper that logs what it is given.
        const QString tools = file("tools"), log = file("args.log");
        TestFiles::writeFakeTools(
            tools, QStringLiteral("echo \"$*\" >> '%1'\nexec '%2/%3' \"$@\"")
                       .arg(log, TestFiles::realToolsDirectory(), toolExecutableName("cwebp")));
        const Job job = convert(path, ConvertMode::ImageToWebp, true, false, tools);
        QVERIFY2(job.state == JobState::Converted, qPrintable(job.detail));
        const QString arguments = QString::fromUtf8(TestFiles::head(log, 10000));
        QVERIFY2(arguments.contains(QStringLiteral(" %1 -o ").arg(path)) != cmyk,
                 qPrintable(arguments));
        const QImage result(job.outputPath);
        QVERIFY(!result.isNull()); // and from CMYK, cyan stays cyan, not its inverse
        QVERIFY(!cmyk || (qRed(result.pixel(2, 8)) < 80 && qBlue(result.pixel(2, 8)) > 180));
    }
};

QTEST_GUILESS_MAIN(FidelityTest)
#include "tst_fidelity.moc"
