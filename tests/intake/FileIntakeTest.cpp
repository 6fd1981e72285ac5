#include "FileIntake.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using FileIntake::IntakeResult;

namespace {

QString writeFile(const QString& path, const QByteArray& bytes = QByteArray("x")) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

QStringList jobPaths(const IntakeResult& result) {
    QStringList paths;
    for (const PicModel& job : result.jobs)
        paths.append(job.url);
    return paths;
}

QStringList skippedPaths(const IntakeResult& result) {
    QStringList paths;
    for (const FileIntake::SkippedPath& skip : result.skipped)
        paths.append(skip.path);
    return paths;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class FileIntakeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void extensionTables_data();
    void extensionTables();
    void extensionCheck_data();
    void extensionCheck();
    void unacceptedExtensionIsSkippedAndTheRestKept();
    void withoutExtensionCheckEveryFileIsTaken();
    void isDirectoryAndFileSize();
    void folderScanKeepsListingOrderWithoutSubfolders();
    void folderScanOfUnreadableFolderIsEmpty();
    void expandReplacesFoldersInPlace();
    void duplicatesAreSkippedWithoutUsingRoom();
    void roomLimitsTheIntake_data();
    void roomLimitsTheIntake();
    void fullListAtTenThousand();
    void pixelLimit_data();
    void pixelLimit();
    void resolutionDoesNotChangeThePixelCount();
    void unreadableAndMissingFilesPass();
    void specialFileIsSkippedWithoutBlocking();
    void jobsCarryTheRecordFields();
    void mixedModesAssignEachJobItsMode();
    void messages();
};

void FileIntakeTest::extensionTables_data() {
    QTest::addColumn<qint64>("mode");
    QTest::addColumn<QStringList>("accepted");
    QTest::addColumn<QStringList>("panelTypes");
    const QStringList webp{"webp", "WEBP"};
    QTest::newRow("webp to jpg") << qint64(0) << webp << QStringList{"webp"};
    QTest::newRow("webp to png") << qint64(1) << webp << QStringList{"webp"};
    QTest::newRow("image to webp")
        << qint64(2) << QStringList{"png", "jpg", "jpeg", "PNG", "JPG", "JPEG"}
        << QStringList{"jpg", "png", "jpeg"};
    QTest::newRow("gif to webp") << qint64(3) << QStringList{"gif", "GIF"} << QStringList{"gif"};
    QTest::newRow("unknown high mode is webp") << qint64(7) << webp << QStringList{"webp"};
    QTest::newRow("negative mode is webp") << qint64(-1) << webp << QStringList{"webp"};
}

void FileIntakeTest::extensionTables() {
    QFETCH(qint64, mode);
    QFETCH(QStringList, accepted);
    QFETCH(QStringList, panelTypes);
    QCOMPARE(FileIntake::acceptedExtensions(mode), accepted);
    QCOMPARE(FileIntake::openPanelFileTypes(mode), panelTypes);
}

void FileIntakeTest::extensionCheck_data() {
    QTest::addColumn<qint64>("mode");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("taken");
    QTest::newRow("webp") << qint64(0) << "a.webp" << true;
    QTest::newRow("WEBP") << qint64(1) << "a.WEBP" << true;
    QTest::newRow("Webp mixed case") << qint64(0) << "a.Webp" << false;
    QTest::newRow("png in webp mode") << qint64(0) << "a.png" << false;
    QTest::newRow("jpeg") << qint64(2) << "a.jpeg" << true;
    QTest::newRow("JPEG") << qint64(2) << "a.JPEG" << true;
    QTest::newRow("Jpg mixed case") << qint64(2) << "a.Jpg" << false;
    QTest::newRow("webp in image mode") << qint64(2) << "a.webp" << false;
    QTest::newRow("GIF") << qint64(3) << "a.GIF" << true;
    QTest::newRow("gif in image mode") << qint64(2) << "a.gif" << false;
    QTest::newRow("last dot counts") << qint64(3) << "a.gif.txt" << false;
    QTest::newRow("two dots") << qint64(3) << "a.txt.gif" << true;
    QTest::newRow("no extension") << qint64(0) << "webp" << false;
}

void FileIntakeTest::extensionCheck() {
    QFETCH(qint64, mode);
    QFETCH(QString, fileName);
    QFETCH(bool, taken);
    QTemporaryDir dir;
    const QString path = writeFile(dir.filePath(fileName));
    QVERIFY(!path.isEmpty());
    const IntakeResult result = FileIntake::collect({path}, mode, {}, 10, true);
    QCOMPARE(jobPaths(result), taken ? QStringList{path} : QStringList{});
    QCOMPARE(skippedPaths(result), taken ? QStringList{} : QStringList{path});
    // The folder scan applies the same table.
    QCOMPARE(FileIntake::getDirFileWithExtType(mode, dir.path()),
             taken ? QStringList{path} : QStringList{});
}

void FileIntakeTest::unacceptedExtensionIsSkippedAndTheRestKept() {
    QTemporaryDir dir;
    const QString a = writeFile(dir.filePath("a.webp"));
    const QString notes = writeFile(dir.filePath("notes.txt"));
    const QString b = writeFile(dir.filePath("b.webp"));
    const IntakeResult result = FileIntake::collect({a, notes, b}, 0, {}, 10, true);
    QCOMPARE(jobPaths(result), (QStringList{a, b}));
    QCOMPARE(result.skipped.size(), 1);
    QCOMPARE(result.skipped.first().path, notes);
    QVERIFY2(result.skipped.first().reason.contains("\"txt\""),
             qPrintable(result.skipped.first().reason));
    QVERIFY(!result.oversize);
    QVERIFY(!result.listFull);
}

void FileIntakeTest::withoutExtensionCheckEveryFileIsTaken() {
    QTemporaryDir dir;
    const QString a = writeFile(dir.filePath("a.webp"));
    const QString notes = writeFile(dir.filePath("notes.txt"));
    const IntakeResult result = FileIntake::collect({a, notes}, 0, {}, 10, false);
    QCOMPARE(jobPaths(result), (QStringList{a, notes}));
    QVERIFY(result.skipped.isEmpty());
    QCOMPARE(result.jobs.at(1).mode, qint64(-1));
}

void FileIntakeTest::isDirectoryAndFileSize() {
    QTemporaryDir dir;
    const QString folder = dir.filePath("folder");
    QVERIFY(QDir().mkpath(folder));
    const QString file = writeFile(dir.filePath("f.webp"), QByteArray(1234, 'a'));
    const QString link = dir.filePath("link");
    QVERIFY(QFile::link(folder, link));
    QVERIFY(FileIntake::isDirectory(folder));
    QVERIFY(FileIntake::isDirectory(link));
    QVERIFY(!FileIntake::isDirectory(file));
    QVERIFY(!FileIntake::isDirectory(dir.filePath("missing")));
    QVERIFY(!FileIntake::isDirectory(QString()));
    QCOMPARE(FileIntake::fileSizeAtPath(file), qint64(1234));
    QCOMPARE(FileIntake::fileSizeAtPath(dir.filePath("missing")), qint64(0));
}

void FileIntakeTest::folderScanKeepsListingOrderWithoutSubfolders() {
    QTemporaryDir dir;
    const QStringList wanted{"x.webp", "y.WEBP", ".hidden.webp", "linked.webp"};
    for (const char* name : {"x.webp", "y.WEBP", "z.Webp", "w.png", ".hidden.webp"})
        QVERIFY(!writeFile(dir.filePath(name)).isEmpty());
    QVERIFY(QFile::link(dir.filePath("x.webp"), dir.filePath("linked.webp")));
    QVERIFY(QDir().mkpath(dir.filePath("sub.webp")));
    QVERIFY(!writeFile(dir.filePath("sub.webp/inner.webp")).isEmpty());
    QVERIFY(QDir().mkpath(dir.filePath("real")));
    QVERIFY(QFile::link(dir.filePath("real"), dir.filePath("dirlink.webp")));

    // The expected order is the directory's own, unsorted.
    QStringList expected;
    const QStringList listing =
        QDir(dir.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QString& name : listing) {
        if (wanted.contains(name))
            expected.append(dir.filePath(name));
    }
    QCOMPARE(expected.size(), wanted.size());
    QCOMPARE(FileIntake::getDirFileWithExtType(0, dir.path()), expected);
    QCOMPARE(FileIntake::getDirFileWithExtType(2, dir.path()), QStringList{dir.filePath("w.png")});
    QCOMPARE(FileIntake::getDirFileWithExtType(3, dir.path()), QStringList{});
}

void FileIntakeTest::folderScanOfUnreadableFolderIsEmpty() {
    QTemporaryDir dir;
    QCOMPARE(FileIntake::getDirFileWithExtType(0, dir.filePath("missing")), QStringList{});
    const QString file = writeFile(dir.filePath("plain.webp"));
    QCOMPARE(FileIntake::getDirFileWithExtType(0, file), QStringList{});
}

void FileIntakeTest::expandReplacesFoldersInPlace() {
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.filePath("folder")));
    const QString inner = writeFile(dir.filePath("folder/in.gif"));
    const QString first = writeFile(dir.filePath("first.gif"));
    const QString last = dir.filePath("missing.txt");
    QCOMPARE(FileIntake::expandCandidates({first, dir.filePath("folder"), last}, 3),
             (QStringList{first, inner, last}));
    QCOMPARE(FileIntake::expandCandidates({dir.filePath("folder")}, 0), QStringList{});
}

void FileIntakeTest::duplicatesAreSkippedWithoutUsingRoom() {
    QTemporaryDir dir;
    const QString listed = writeFile(dir.filePath("listed.png"));
    const QString a = writeFile(dir.filePath("a.png"));
    const QString b = writeFile(dir.filePath("b.png"));
    const IntakeResult result = FileIntake::collect({listed, a, a, b}, 2, {listed}, 2, true);
    QCOMPARE(jobPaths(result), (QStringList{a, b}));
    QVERIFY(!result.listFull);
    QVERIFY(result.skipped.isEmpty());
    QVERIFY(result.dropped.isEmpty());
}

void FileIntakeTest::roomLimitsTheIntake_data() {
    QTest::addColumn<qint64>("listed");
    QTest::addColumn<int>("offered");
    QTest::addColumn<int>("taken");
    QTest::addColumn<bool>("full");
    QTest::newRow("9998 listed, 5 offered") << qint64(9998) << 5 << 2 << true;
    QTest::newRow("9995 listed, 5 offered") << qint64(9995) << 5 << 5 << false;
    QTest::newRow("10000 listed") << qint64(10000) << 3 << 0 << true;
    QTest::newRow("empty list") << qint64(0) << 4 << 4 << false;
}

void FileIntakeTest::roomLimitsTheIntake() {
    QFETCH(qint64, listed);
    QFETCH(int, offered);
    QFETCH(int, taken);
    QFETCH(bool, full);
    QTemporaryDir dir;
    QSet<QString> existing;
    for (qint64 i = 0; i < listed; ++i)
        existing.insert(QStringLiteral("/listed/%1.png").arg(i));
    QStringList candidates;
    for (int i = 0; i < offered; ++i)
        candidates.append(writeFile(dir.filePath(QStringLiteral("f%1.png").arg(i))));
    const IntakeResult result =
        FileIntake::collect(candidates, 2, existing, FileIntake::UploadCount - listed, true);
    QCOMPARE(jobPaths(result), candidates.mid(0, taken));
    QCOMPARE(result.listFull, full);
    QCOMPARE(result.dropped, candidates.mid(taken));
}

void FileIntakeTest::fullListAtTenThousand() {
    QTemporaryDir dir;
    const QString folder = dir.filePath("many");
    QVERIFY(QDir().mkpath(folder));
    QByteArray png;
    {
        QBuffer buffer(&png);
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QVERIFY(QImage(4, 3, QImage::Format_RGB32).save(&buffer, "PNG"));
    }
    for (qint64 i = 0; i <= FileIntake::UploadCount; ++i)
        QVERIFY(!writeFile(QStringLiteral("%1/%2.png").arg(folder).arg(i), png).isEmpty());
    QElapsedTimer timer;
    timer.start();
    const QStringList candidates = FileIntake::expandCandidates({folder}, 2);
    const IntakeResult result =
        FileIntake::collect(candidates, 2, {}, FileIntake::UploadCount, true);
    qInfo("collected %lld files in %lld ms", static_cast<long long>(candidates.size()),
          static_cast<long long>(timer.elapsed()));
    QCOMPARE(candidates.size(), FileIntake::UploadCount + 1);
    QCOMPARE(result.jobs.size(), FileIntake::UploadCount);
    QVERIFY(result.listFull);
    QCOMPARE(result.dropped, QStringList{candidates.last()});
    QCOMPARE(jobPaths(result), candidates.mid(0, FileIntake::UploadCount));
}

namespace {

// A grey image of w x h pixels (1 bit deep for large ones, so 8000 x 8000 stays small).
QImage blankImage(int w, int h) {
    QImage image(w, h, w * qint64(h) > 1000000 ? QImage::Format_Mono : QImage::Format_Grayscale8);
    image.fill(0);
    return image;
}

} // namespace

void FileIntakeTest::pixelLimit_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("taken");
    QTest::newRow("png 8000x8000") << 8000 << 8000 << "png" << true;
    QTest::newRow("png 8001x1") << 8001 << 1 << "png" << false;
    QTest::newRow("png 1x8001") << 1 << 8001 << "png" << false;
    QTest::newRow("jpg 8000x2") << 8000 << 2 << "jpg" << true;
    QTest::newRow("jpg 8001x2") << 8001 << 2 << "jpg" << false;
    QTest::newRow("jpeg 2x8001") << 2 << 8001 << "jpeg" << false;
    if (QImageWriter::supportedImageFormats().contains("webp")) {
        QTest::newRow("webp 8000x1") << 8000 << 1 << "webp" << true;
        QTest::newRow("webp 1x8001") << 1 << 8001 << "webp" << false;
    }
}

void FileIntakeTest::pixelLimit() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QString, format);
    QFETCH(bool, taken);
    QTemporaryDir dir;
    const QString big = dir.filePath("big." + format);
    QVERIFY(blankImage(width, height).save(big, format == "jpg" ? "jpeg" : qPrintable(format)));
    const QString small = dir.filePath("small." + format);
    QVERIFY(blankImage(3, 3).save(small, format == "jpg" ? "jpeg" : qPrintable(format)));
    const qint64 mode = format == "webp" ? 0 : 2;
    const IntakeResult result = FileIntake::collect({big, small}, mode, {}, 10, true);
    QCOMPARE(jobPaths(result), taken ? (QStringList{big, small}) : QStringList{small});
    QCOMPARE(result.oversize, !taken);
    QCOMPARE(result.oversized, taken ? QStringList{} : QStringList{big});
    QVERIFY(result.skipped.isEmpty());
}

void FileIntakeTest::resolutionDoesNotChangeThePixelCount() {
    QTemporaryDir dir;
    // 300 dpi would make 8001 pixels a nominal 1920; 36 dpi would make 8000 a nominal 16000.
    QImage wide = blankImage(8001, 1);
    wide.setDotsPerMeterX(11811);
    wide.setDotsPerMeterY(11811);
    const QString widePath = dir.filePath("wide.png");
    QVERIFY(wide.save(widePath, "PNG"));
    QImage edge = blankImage(8000, 1);
    edge.setDotsPerMeterX(1417);
    edge.setDotsPerMeterY(1417);
    const QString edgePath = dir.filePath("edge.png");
    QVERIFY(edge.save(edgePath, "PNG"));
    QVERIFY(fileBytes(widePath).contains("pHYs"));
    QVERIFY(fileBytes(edgePath).contains("pHYs"));
    const IntakeResult result = FileIntake::collect({widePath, edgePath}, 2, {}, 10, true);
    QCOMPARE(jobPaths(result), QStringList{edgePath});
    QVERIFY(result.oversize);
}

void FileIntakeTest::unreadableAndMissingFilesPass() {
    QTemporaryDir dir;
    const QString garbage = writeFile(dir.filePath("garbage.png"), "not an image at all");
    const QString empty = writeFile(dir.filePath("empty.png"), QByteArray());
    const QString missing = dir.filePath("missing.png");
    const IntakeResult result = FileIntake::collect({garbage, empty, missing}, 2, {}, 10, true);
    QCOMPARE(jobPaths(result), (QStringList{garbage, empty, missing}));
    QVERIFY(!result.oversize);
    QCOMPARE(result.jobs.at(2).size, 0.0);
}

void FileIntakeTest::specialFileIsSkippedWithoutBlocking() {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.webp");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString after = writeFile(dir.filePath("after.webp"));
    const IntakeResult result = FileIntake::collect({fifo, after}, 0, {}, 10, true);
    QCOMPARE(jobPaths(result), QStringList{after});
    QCOMPARE(skippedPaths(result), QStringList{fifo});
}

void FileIntakeTest::jobsCarryTheRecordFields() {
    QTemporaryDir dir;
    const QString jpegNamedPng = dir.filePath("photo.png");
    QVERIFY(blankImage(5, 5).save(jpegNamedPng, "JPEG"));
    const QString png = dir.filePath("plain.png");
    QVERIFY(blankImage(5, 5).save(png, "PNG"));
    const IntakeResult result = FileIntake::collect({jpegNamedPng, png}, 2, {}, 10, true);
    QCOMPARE(result.jobs.size(), 2);
    const PicModel& first = result.jobs.at(0);
    QCOMPARE(first.name, QStringLiteral("photo.png"));
    QCOMPARE(first.url, jpegNamedPng);
    QCOMPARE(first.size, QFileInfo(jpegNamedPng).size() / 1000.0);
    QVERIFY(!first.isStandard);
    QCOMPARE(first.completed, JobState::Waiting);
    QCOMPARE(first.mode, qint64(-1));
    QVERIFY(result.jobs.at(1).isStandard);
}

void FileIntakeTest::mixedModesAssignEachJobItsMode() {
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.filePath("folder")));
    const QString gif = writeFile(dir.filePath("folder/anim.GIF"));
    const QString png = writeFile(dir.filePath("photo.png"));
    const QString webp = writeFile(dir.filePath("other.webp"));
    const QList<qint64> modes{ConvertMode::ImageToWebp, ConvertMode::GifToWebp};
    const QStringList candidates =
        FileIntake::expandCandidates({dir.filePath("folder"), png, webp}, modes);
    QCOMPARE(candidates, (QStringList{gif, png, webp}));
    const IntakeResult result = FileIntake::collect(candidates, modes, {}, 10, true);
    QCOMPARE(jobPaths(result), (QStringList{gif, png}));
    QCOMPARE(result.jobs.at(0).mode, ConvertMode::GifToWebp);
    QCOMPARE(result.jobs.at(1).mode, ConvertMode::ImageToWebp);
    QCOMPARE(skippedPaths(result), QStringList{webp});
    QCOMPARE(FileIntake::modeForPath(webp, {0, 1}), qint64(0));
    QCOMPARE(FileIntake::modeForPath(webp, modes), qint64(-1));
}

void FileIntakeTest::messages() {
    QCOMPARE(FileIntake::uploadLimitMessage(),
             QStringLiteral("You can only upload 10000 pictures"));
    QCOMPARE(FileIntake::oversizeMessage(),
             QStringLiteral("You have image(s) with height or width dimension over 8000px. "
                            "Please resize it before uploading"));
}

QTEST_GUILESS_MAIN(FileIntakeTest)
#include "FileIntakeTest.moc"
