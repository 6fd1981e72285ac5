// Colour profiles, camera metadata and orientation through every mode, checked with the
// exiv2 and webpmux tools rather than with the engine's own reader.
#include "BatchRun.h"
#include "JobList.h"
#include "TaggedImages.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using TaggedImages::Tags;

class FidelityTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void profiles_data();
    void profiles();
    void metadata_data();
    void metadata();
    void orientation_data();
    void orientation();
    void copiesOnlyWhenTheToolNeedsOne_data();
    void copiesOnlyWhenTheToolNeedsOne();

private:
    // Converts one source in mode; the job as the run left it.
    Job convert(const QString& source, ConvertMode mode, bool keepProfile, bool keepMetadata,
                const QString& tools = {});
    QString file(const QString& name) const { return tmp_->filePath(name); }
    static void addModes();
    std::unique_ptr<QTemporaryDir> tmp_;
};

void FidelityTest::init() {
    tmp_ = std::make_unique<QTemporaryDir>();
}

Job FidelityTest::convert(const QString& source, ConvertMode mode, bool keepProfile,
                          bool keepMetadata, const QString& tools) {
    const QString out = file(QStringLiteral("out-%1").arg(QFileInfo(source).fileName()));
    QDir().mkpath(out);
    RunOptions options;
    options.mode = mode;
    options.quality = 80;
    options.outputDirectory = out;
    options.workDirectory = file("work");
    options.toolsDirectory = tools.isEmpty() ? TestFiles::realToolsDirectory() : tools;
    options.keepColorProfiles = keepProfile;
    options.keepMetadata = keepMetadata;
    JobList list;
    list.addPath(source);
    BatchRun run;
    QSignalSpy finished(&run, &BatchRun::finished);
    if (!run.start(&list, options) || !finished.wait(60000))
        return {};
    return list.at(0);
}

// Every mode that can carry metadata, from the source kinds it takes.
void FidelityTest::addModes() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<ConvertMode>("mode");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<bool>("keep");
    for (const bool keep : {true, false}) {
        const char* on = keep ? "kept" : "stripped";
        QTest::addRow("jpg to webp, %s", on)
            << "jpeg" << ConvertMode::ImageToWebp << "webp" << keep;
        QTest::addRow("png to webp, %s", on) << "png" << ConvertMode::ImageToWebp << "webp" << keep;
        QTest::addRow("webp to jpg, %s", on) << "webp" << ConvertMode::WebpToJpg << "jpg" << keep;
        QTest::addRow("webp to png, %s", on) << "webp" << ConvertMode::WebpToPng << "png" << keep;
    }
}

void FidelityTest::profiles_data() {
    addModes();
}

void FidelityTest::profiles() {
    QFETCH(QString, kind);
    QFETCH(ConvertMode, mode);
    QFETCH(QString, extension);
    QFETCH(bool, keep);
    Tags tags;
    tags.metadata = false;
    const QString source = TaggedImages::write(file("tagged." + kind), kind, tags);
    const QByteArray profile = TaggedImages::profileOf(source);
    QCOMPARE(profile, TaggedImages::wideGamutProfile());

    const Job job = convert(source, mode, keep, false);
    QVERIFY2(job.state == JobState::Converted, qPrintable(job.detail));
    QVERIFY(job.outputPath.endsWith("." + extension));
    QCOMPARE(TaggedImages::profileOf(job.outputPath), keep ? profile : QByteArray());
    QCOMPARE(job.profileCarried, keep);
    QVERIFY2(job.warning.isEmpty(), qPrintable(job.warning));
    if (extension == "webp")
        QCOMPARE(TaggedImages::webpmuxProfile(job.outputPath), keep ? profile : QByteArray());

    // No profile in, none out.
    tags.profile = false;
    const QString plain = TaggedImages::write(file("plain." + kind), kind, tags);
    const Job untagged = convert(plain, mode, keep, false);
    QCOMPARE(untagged.state, JobState::Converted);
    QCOMPARE(TaggedImages::profileOf(untagged.outputPath), QByteArray());
    QVERIFY(!untagged.profileCarried);
}

void FidelityTest::metadata_data() {
    addModes();
}

void FidelityTest::metadata() {
    QFETCH(QString, kind);
    QFETCH(ConvertMode, mode);
    QFETCH(QString, extension);
    QFETCH(bool, keep);
    const QString source = TaggedImages::write(file("camera." + kind), kind, Tags());
    QCOMPARE(TaggedImages::tagValue(source, "Exif.Image.Model"), TaggedImages::CameraModel);

    const Job job = convert(source, mode, true, keep);
    QVERIFY2(job.state == JobState::Converted, qPrintable(job.detail));
    QCOMPARE(job.metadataCarried, keep);
    const QString out = job.outputPath;
    const auto expected = [keep](const QString& value) { return keep ? value : QString(); };
    QCOMPARE(TaggedImages::tagValue(out, "Exif.Photo.DateTimeOriginal"),
             expected(TaggedImages::DateTaken));
    QCOMPARE(TaggedImages::tagValue(out, "Exif.Image.Model"), expected(TaggedImages::CameraModel));
    QCOMPARE(TaggedImages::tagValue(out, "Exif.GPSInfo.GPSLatitude"), expected("48/1 51/1 24/1"));
    QCOMPARE(TaggedImages::tagValue(out, "Xmp.dc.title"), expected(TaggedImages::XmpTitle));
    // The profile travels either way.
    QCOMPARE(TaggedImages::profileOf(out), TaggedImages::wideGamutProfile());
}

void FidelityTest::orientation_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<ConvertMode>("mode");
    QTest::addColumn<bool>("keep");
    for (const bool keep : {true, false}) {
        const char* on = keep ? "kept" : "stripped";
        QTest::addRow("jpg to webp, %s", on) << "jpeg" << ConvertMode::ImageToWebp << keep;
        QTest::addRow("webp to jpg, %s", on) << "webp" << ConvertMode::WebpToJpg << keep;
        QTest::addRow("webp to png, %s", on) << "webp" << ConvertMode::WebpToPng << keep;
    }
}

void FidelityTest::orientation() {
    QFETCH(QString, kind);
    QFETCH(ConvertMode, mode);
    QFETCH(bool, keep);
    Tags tags;
    tags.orientation = 6; // turn 90° clockwise to view
    const QString source = TaggedImages::write(file("turned." + kind), kind, tags);
    const Job job = convert(source, mode, true, keep);
    QVERIFY2(job.state == JobState::Converted, qPrintable(job.detail));
    QImageReader reader(job.outputPath);
    reader.setAutoTransform(false); // the pixels themselves must be upright
    const QImage result = reader.read();
    QCOMPARE(result.size(), QSize(20, 40));
    // The red corner, top-left as stored, is top-right once upright.
    QVERIFY(qRed(result.pixel(17, 2)) > 200 && qGreen(result.pixel(17, 2)) < 80);
    QVERIFY(qGreen(result.pixel(2, 2)) > 200);
    QCOMPARE(TaggedImages::tagValue(job.outputPath, "Exif.Image.Orientation"),
             keep ? QStringLiteral("1") : QString());
}

void FidelityTest::copiesOnlyWhenTheToolNeedsOne_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("copied");
    QTest::newRow("plain jpeg") << "plain" << false;
    QTest::newRow("progressive jpeg") << "progressive" << false;
    QTest::newRow("grey jpeg") << "grey" << false;
    QTest::newRow("jpeg named png") << "named-png" << false;
    QTest::newRow("cmyk jpeg") << "cmyk" << true;
    QTest::newRow("orientation 6") << "turned" << true;
}

void FidelityTest::copiesOnlyWhenTheToolNeedsOne() {
    QFETCH(QString, source);
    QFETCH(bool, copied);
    QString path;
    if (source == "cmyk") {
        path = TaggedImages::writeCmykJpeg(file("cmyk.jpg"));
    } else if (source == "turned") {
        Tags tags;
        tags.orientation = 6;
        path = TaggedImages::write(file("turned.jpg"), "jpeg", tags);
    } else if (source == "grey") {
        QImage grey(24, 24, QImage::Format_Grayscale8);
        grey.fill(128);
        path = file("grey.jpg");
        grey.save(path, "jpeg");
    } else if (source == "progressive") {
        QImage image(24, 24, QImage::Format_RGB32);
        image.fill(Qt::blue);
        path = file("progressive.jpg");
        QImageWriter writer(path, "jpeg");
        writer.setProgressiveScanWrite(true);
        writer.write(image);
    } else {
        path = TestFiles::writeImage(file(source == "plain" ? "plain.jpg" : "named.png"), "jpeg");
    }
    QVERIFY(TestFiles::isJpeg(path));
    // The real cwebp, behind a wrapper that logs what it is given.
    const QString tools = file("tools");
    const QString log = file("args.log");
    TestFiles::writeFakeTools(tools, QStringLiteral("echo \"$*\" >> '%1'\nexec '%2/cwebp-x8664' "
                                                    "\"$@\"")
                                         .arg(log, TestFiles::realToolsDirectory()));
    const Job job = convert(path, ConvertMode::ImageToWebp, true, false, tools);
    QVERIFY2(job.state == JobState::Converted, qPrintable(job.detail));
    const QString arguments = QString::fromUtf8(TestFiles::head(log, 10000)).trimmed();
    QCOMPARE(arguments.contains(".copy."), copied);
    if (!copied)
        QVERIFY2(arguments.contains(QStringLiteral(" %1 -o ").arg(path)), qPrintable(arguments));
    const QImage result(job.outputPath);
    QVERIFY(!result.isNull());
    if (source == "cmyk") // cyan stays cyan, not its inverse
        QVERIFY(qRed(result.pixel(2, 8)) < 80 && qBlue(result.pixel(2, 8)) > 180);
}

QTEST_GUILESS_MAIN(FidelityTest)
#include "tst_fidelity.moc"
