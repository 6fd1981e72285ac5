#include "BatchRun.h"
#include "JobList.h"
#include "RunCounter.h"
#include "Settings.h"
#include "SettingsKeys.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLockFile>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int RunBoundMs = 60000;

// A fake tool that writes a small valid PNG as its output (the last argument).
QString fakeWritingOutput(const QString& pngSource, const QString& before = {}) {
    return before + QStringLiteral("\nfor last; do :; done\ncp '%1' \"$last\"\n").arg(pngSource);
}

} // namespace

class BatchRunTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void modesEndToEnd_data();
    void modesEndToEnd();
    void argumentListsAndExecutableName();
    void sameNamesInOneRunAndExistingFiles();
    void keepDate();
    void toolFailures_data();
    void toolFailures();
    void unwritableOutputPutsJobBackToWaiting();
    void animatedWebpCannotBeDecoded();
    void atMostFiveToolsAtOnce();
    void secondRunSkipsConvertedJobs();
    void runCountAndRatingRequest();
    void cancelLeavesNoPartialFile();
    void leftoversOfKilledRunsAreRemoved();

private:
    RunReport run(JobList& list, RunOptions options, BatchRun* batch = nullptr);
    RunOptions options(qint64 mode, const QString& out) const;
    std::unique_ptr<QTemporaryDir> tmp_;
    QString work_;
};

void BatchRunTest::init() {
    tmp_ = std::make_unique<QTemporaryDir>();
    work_ = tmp_->filePath("work");
    QDir().mkpath(tmp_->filePath("out"));
}

RunOptions BatchRunTest::options(qint64 mode, const QString& out) const {
    RunOptions o;
    o.convertType = mode;
    o.ratio = 80;
    o.outputDirectory = out;
    o.workDirectory = work_;
    o.toolsDirectory = TestFiles::realToolsDirectory();
    o.countRun = false;
    return o;
}

RunReport BatchRunTest::run(JobList& list, RunOptions options, BatchRun* batch) {
    BatchRun local;
    BatchRun& b = batch ? *batch : local;
    QSignalSpy finished(&b, &BatchRun::finished);
    if (!b.start(&list, options))
        return {};
    if (!finished.wait(RunBoundMs))
        return {};
    return finished.takeFirst().at(0).value<RunReport>();
}

void BatchRunTest::modesEndToEnd_data() {
    QTest::addColumn<qint64>("mode");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::newRow("webp to jpg writes real JPEG") << ConvertMode::WebpToJpg << "a.webp"
                                                  << "a.jpg";
    QTest::newRow("webp to png") << ConvertMode::WebpToPng << "a.webp"
                                 << "a.png";
    QTest::newRow("png to webp") << ConvertMode::ImageToWebp << "a.png"
                                 << "a.webp";
    QTest::newRow("jpg to webp via copy") << ConvertMode::ImageToWebp << "a.jpg"
                                          << "a.webp";
    QTest::newRow("jpeg named png") << ConvertMode::ImageToWebp << "jpeg-as.png"
                                    << "jpeg-as.webp";
    QTest::newRow("jpeg extension") << ConvertMode::ImageToWebp << "b.jpeg"
                                    << "b.webp";
    QTest::newRow("gif to animated webp") << ConvertMode::GifToWebp << "anim.gif"
                                          << "anim.webp";
}

void BatchRunTest::modesEndToEnd() {
    QFETCH(qint64, mode);
    QFETCH(QString, input);
    QFETCH(QString, output);
    const QString src = tmp_->filePath(input);
    if (input.endsWith(".webp"))
        TestFiles::writeWebp(src);
    else if (input.endsWith(".gif"))
        TestFiles::writeAnimatedGif(src);
    else
        TestFiles::writeImage(src,
                              input.endsWith(".png") && !input.startsWith("jpeg") ? "png" : "jpeg");
    JobList list;
    QVERIFY(list.addData(src));
    const RunReport report = run(list, options(mode, tmp_->filePath("out")));
    QVERIFY2(list.at(0).completed == JobState::Converted, qPrintable(list.at(0).errorText));
    QVERIFY(!report.failed);
    QVERIFY(report.closingMessage().isEmpty());
    const QString out = tmp_->filePath("out/" + output);
    QCOMPARE(list.at(0).outputPath, out);
    switch (mode) {
    case ConvertMode::WebpToJpg:
        QVERIFY(TestFiles::isJpeg(out));
        break;
    case ConvertMode::WebpToPng:
        QVERIFY(TestFiles::isPng(out));
        break;
    case ConvertMode::ImageToWebp:
        QVERIFY(TestFiles::isWebp(out));
        break;
    case ConvertMode::GifToWebp:
        QVERIFY(TestFiles::isAnimatedWebp(out));
        break;
    }
    QCOMPARE(QImage(out).size().isEmpty(), false);
    // Only the result is left: no temporary output, no copy, no run folder.
    QCOMPARE(QDir(tmp_->filePath("out")).entryList(QDir::Files | QDir::Hidden),
             QStringList{output});
    QCOMPARE(QDir(work_).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{});
    QVERIFY(!list.isLocked());
}

void BatchRunTest::argumentListsAndExecutableName() {
    const QString tools = tmp_->filePath("fake");
    const QString log = tmp_->filePath("args.log");
    const QString png = TestFiles::writeImage(tmp_->filePath("real.png"), "png");
    TestFiles::writeFakeTools(
        tools,
        fakeWritingOutput(png, QStringLiteral("echo \"$(basename \"$0\")|$*\" >> '%1'").arg(log)));
    const QString a = TestFiles::writeImage(tmp_->filePath("a.b.png"), "png");
    const QString jpg = TestFiles::writeImage(tmp_->filePath("j.jpg"), "jpeg");
    JobList list;
    list.addData(a);
    list.addData(jpg);
    RunOptions o = options(ConvertMode::ImageToWebp, tmp_->filePath("out"));
    o.toolsDirectory = tools;
    o.ratio = 75.9; // truncated, never rounded
    QVERIFY(!run(list, o).failed);

    QStringList lines =
        QString::fromUtf8(TestFiles::head(log, 10000)).split('\n', Qt::SkipEmptyParts);
    lines.sort();
    QCOMPARE(lines.size(), 2);
    const QString exe =
        QSysInfo::currentCpuArchitecture().startsWith("arm") ? "cwebp" : "cwebp-x8664";
    const QRegularExpression pngArgs(
        QStringLiteral("^%1\\|-q 75 %2 -o %3/tessaro-run-\\w+/0-a\\.b_output\\.webp$")
            .arg(exe, QRegularExpression::escape(a), QRegularExpression::escape(work_)));
    QVERIFY2(pngArgs.match(lines.at(0)).hasMatch(), qPrintable(lines.at(0)));
    // JPEG content: the tool reads the normalised copy, the output is named after the source.
    QVERIFY2(
        lines.at(1).contains(QRegularExpression("/1-j_documents\\.jpg -o .*/1-j_output\\.webp$")),
        qPrintable(lines.at(1)));
    QVERIFY(QFile::exists(tmp_->filePath("out/j.webp")));
    QVERIFY(QFile::exists(tmp_->filePath("out/a.b.webp")));

    // Lossless copies: the tool reads raw pixels, the result still carries the source's name.
    QFile::remove(log);
    JobList lossless;
    lossless.addData(jpg);
    o.losslessCopies = true;
    QVERIFY(!run(lossless, o).failed);
    QVERIFY2(TestFiles::head(log, 10000).contains("/0-j_documents.ppm -o "),
             TestFiles::head(log, 10000).constData());
    QVERIFY(QFile::exists(tmp_->filePath("out/j(1).webp")));
    o.losslessCopies = false;

    // The decoding modes pass three arguments and no quality.
    QFile::remove(log);
    JobList webps;
    webps.addData(TestFiles::writeWebp(tmp_->filePath("w.webp")));
    o.convertType = ConvertMode::WebpToPng;
    QVERIFY(!run(webps, o).failed);
    const QString line = QString::fromUtf8(TestFiles::head(log, 10000)).trimmed();
    QVERIFY2(QRegularExpression("^dwebp(-x8664)?\\|\\S+/w\\.webp -o \\S+/0-w_output\\.png$")
                 .match(line)
                 .hasMatch(),
             qPrintable(line));
}

void BatchRunTest::sameNamesInOneRunAndExistingFiles() {
    QDir().mkpath(tmp_->filePath("a"));
    QDir().mkpath(tmp_->filePath("b"));
    QDir().mkpath(tmp_->filePath("c"));
    JobList list;
    list.addData(TestFiles::writeImage(tmp_->filePath("a/photo.png"), "png"));
    list.addData(TestFiles::writeImage(tmp_->filePath("b/photo.png"), "jpeg")); // normalised
    list.addData(TestFiles::writeImage(tmp_->filePath("c/photo.jpg"), "jpeg"));
    const QString existing = TestFiles::writeBytes(tmp_->filePath("out/photo.webp"), "mine");
    const RunReport report = run(list, options(ConvertMode::ImageToWebp, tmp_->filePath("out")));
    QCOMPARE(report.converted, 3);
    QCOMPARE(TestFiles::head(existing, 10), QByteArray("mine"));
    QCOMPARE(list.at(0).outputPath, tmp_->filePath("out/photo(1).webp"));
    QCOMPARE(list.at(1).outputPath, tmp_->filePath("out/photo(2).webp"));
    QCOMPARE(list.at(2).outputPath, tmp_->filePath("out/photo(3).webp"));
    for (int i = 0; i < 3; ++i)
        QVERIFY(TestFiles::isWebp(list.at(i).outputPath));
}

void BatchRunTest::keepDate() {
    const QString src = TestFiles::writeImage(tmp_->filePath("old.png"), "png");
    const auto born = QFileInfo(src).birthTime();
    if (!born.isValid())
        QSKIP("this file system records no creation date");
    for (const bool keep : {true, false}) {
        QDir(tmp_->filePath("out")).removeRecursively();
        QDir().mkpath(tmp_->filePath("out"));
        JobList list;
        list.addData(src);
        RunOptions o = options(ConvertMode::ImageToWebp, tmp_->filePath("out"));
        o.keepDate = keep;
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        QTest::qWait(1100); // the written file must be clearly younger than its source
        QVERIFY(!run(list, o).failed);
        const QDateTime modified = QFileInfo(list.at(0).outputPath).lastModified();
        if (keep)
            QCOMPARE(modified, born);
        else
            QVERIFY(modified > before.addSecs(1));
    }
}

void BatchRunTest::toolFailures_data() {
    QTest::addColumn<QString>("fakeScript"); // "" = the real tools
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("errorPart");
    QTest::addColumn<QString>("message");
    const QString support = closingReportText(true, {});
    const QString animated = closingReportText(true, "x");
    QTest::newRow("corrupt input") << "" << QByteArray("\x89PNG garbage") << "cwebp" << animated;
    QTest::newRow("zero-byte input") << "" << QByteArray() << "cwebp" << animated;
    QTest::newRow("missing tool") << "missing" << QByteArray() << "Cannot start cwebp" << support;
    QTest::newRow("silent, no output") << "exit 0" << QByteArray() << "wrote no output" << support;
    QTest::newRow("empty output") << "for l; do :; done; : > \"$l\"" << QByteArray()
                                  << "wrote no output" << support;
    QTest::newRow("says why, exits 1")
        << "echo 'Decoding failed' >&2; exit 1" << QByteArray() << "Decoding failed" << animated;
    QTest::newRow("crash, nothing said") << "kill -SEGV $$" << QByteArray() << "crashed" << support;
    QTest::newRow("hang past the limit")
        << "exec sleep 30" << QByteArray() << "did not finish" << support;
    QTest::newRow("stderr flood, then success")
        << "head -c 8000000 /dev/zero | tr '\\0' e >&2; for l; do :; done; echo ok > \"$l\""
        << QByteArray() << "" << QString();
}

void BatchRunTest::toolFailures() {
    QFETCH(QString, fakeScript);
    QFETCH(QByteArray, content);
    QFETCH(QString, errorPart);
    QFETCH(QString, message);
    const QString src = content.isNull() && !fakeScript.isEmpty()
                            ? TestFiles::writeImage(tmp_->filePath("in.png"), "png")
                            : TestFiles::writeBytes(tmp_->filePath("in.png"), content);
    RunOptions o = options(ConvertMode::ImageToWebp, tmp_->filePath("out"));
    o.toolTimeoutMs = 500;
    if (fakeScript == "missing") {
        o.toolsDirectory = tmp_->filePath("no-tools-here");
    } else if (!fakeScript.isEmpty()) {
        o.toolsDirectory = tmp_->filePath("fake");
        TestFiles::writeFakeTools(o.toolsDirectory, fakeScript);
    }
    JobList list;
    list.addData(src);
    const RunReport report = run(list, o);
    QCOMPARE(report.closingMessage(), message);
    if (message.isEmpty()) {
        QCOMPARE(list.at(0).completed, JobState::Converted);
        return;
    }
    QCOMPARE(list.at(0).completed, JobState::Failed);
    QVERIFY2(list.at(0).errorText.contains(errorPart), qPrintable(list.at(0).errorText));
    QVERIFY2(list.at(0).errorText.contains(src), qPrintable(list.at(0).errorText));
    QCOMPARE(QDir(tmp_->filePath("out")).entryList(QDir::Files | QDir::Hidden), QStringList{});
    QCOMPARE(QDir(work_).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{});
}

void BatchRunTest::unwritableOutputPutsJobBackToWaiting() {
    JobList list;
    list.addData(TestFiles::writeImage(tmp_->filePath("p.png"), "png"));
    BatchRun batch;
    QSignalSpy finished(&batch, &BatchRun::finished);
    QVERIFY(batch.start(&list, options(ConvertMode::ImageToWebp, tmp_->filePath("out"))));
    // The folder goes away while the tool runs: the result has nowhere to go.
    QVERIFY(QDir(tmp_->filePath("out")).removeRecursively());
    QVERIFY(finished.wait(RunBoundMs));
    const RunReport report = finished.at(0).at(0).value<RunReport>();
    QCOMPARE(list.at(0).completed, JobState::Waiting);
    QVERIFY(report.failed);
    QVERIFY(list.at(0).errorText.contains(tmp_->filePath("out")));
    QCOMPARE(QDir(work_).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{});
}

void BatchRunTest::animatedWebpCannotBeDecoded() {
    JobList gifs;
    gifs.addData(TestFiles::writeAnimatedGif(tmp_->filePath("anim.gif")));
    QVERIFY(!run(gifs, options(ConvertMode::GifToWebp, tmp_->filePath("out"))).failed);
    const QString animated = gifs.at(0).outputPath;
    for (const qint64 mode : {ConvertMode::WebpToPng, ConvertMode::WebpToJpg}) {
        JobList list;
        list.addData(animated);
        const RunReport report = run(list, options(mode, tmp_->filePath("out")));
        QCOMPARE(list.at(0).completed, JobState::Failed);
        QVERIFY(!report.convertError.isEmpty());
        QCOMPARE(report.closingMessage(), closingReportText(true, report.convertError));
        QVERIFY(report.closingMessage().startsWith("Error! Decoding of an animated WebP"));
    }
    QCOMPARE(QDir(tmp_->filePath("out")).entryList(QDir::Files), QStringList{"anim.webp"});
}

void BatchRunTest::atMostFiveToolsAtOnce() {
    const QString running = tmp_->filePath("running");
    const QString counts = tmp_->filePath("counts");
    const QString png = TestFiles::writeImage(tmp_->filePath("real.png"), "png");
    QDir().mkpath(running);
    TestFiles::writeFakeTools(
        tmp_->filePath("fake"),
        fakeWritingOutput(
            png, QStringLiteral("touch '%1'/$$; ls '%1' | wc -l >> '%2'; sleep 0.4; rm '%1'/$$")
                     .arg(running, counts)));
    JobList list;
    for (int i = 0; i < 12; ++i)
        list.addData(
            TestFiles::writeImage(tmp_->filePath(QStringLiteral("p%1.png").arg(i)), "png"));
    RunOptions o = options(ConvertMode::ImageToWebp, tmp_->filePath("out"));
    o.toolsDirectory = tmp_->filePath("fake");
    BatchRun batch;
    QSignalSpy progress(&batch, &BatchRun::progressChanged);
    const RunReport report = run(list, o, &batch);
    QCOMPARE(report.converted, 12);
    int most = 0;
    for (const QString& n :
         QString::fromUtf8(TestFiles::head(counts, 10000)).split('\n', Qt::SkipEmptyParts))
        most = qMax(most, n.trimmed().toInt());
    QCOMPARE(most, 5);
    QCOMPARE(progress.last().at(0).value<qsizetype>(), 12);
}

void BatchRunTest::secondRunSkipsConvertedJobs() {
    JobList list;
    list.addData(TestFiles::writeImage(tmp_->filePath("good.png"), "png"));
    const QString bad = TestFiles::writeBytes(tmp_->filePath("bad.png"), "nope");
    list.addData(bad);
    QVERIFY(run(list, options(ConvertMode::ImageToWebp, tmp_->filePath("out"))).failed);
    QCOMPARE(list.at(0).completed, JobState::Converted);
    QCOMPARE(list.at(1).completed, JobState::Failed);

    TestFiles::writeImage(bad, "png"); // repaired meanwhile
    QDir().mkpath(tmp_->filePath("out2"));
    const RunReport second = run(list, options(ConvertMode::ImageToWebp, tmp_->filePath("out2")));
    QCOMPARE(second.alreadyConverted, 1);
    QCOMPARE(second.converted, 1);
    QCOMPARE(QDir(tmp_->filePath("out2")).entryList(QDir::Files), QStringList{"bad.webp"});
}

void BatchRunTest::runCountAndRatingRequest() {
    Settings::setValue(SettingsKeys::ConvertCount, 7);
    RunCounter::resetAtLaunch();
    BatchRun batch;
    int ratingRequests = 0;
    batch.setRatingHook([&] { ++ratingRequests; });
    JobList empty;
    RunOptions o = options(ConvertMode::ImageToWebp, tmp_->filePath("out"));
    o.countRun = true;
    QList<int> requestsAfterRun;
    for (int i = 1; i <= 3; ++i) {
        const RunReport report = run(empty, o, &batch);
        QCOMPARE(report.convertCount, i);
        QVERIFY(report.closingMessage().isEmpty());
        requestsAfterRun << ratingRequests;
    }
    QCOMPARE(requestsAfterRun, (QList<int>{0, 1, 1}));
    QCOMPARE(Settings::integerValue(SettingsKeys::ConvertCount), 3);
}

void BatchRunTest::cancelLeavesNoPartialFile() {
    const QString started = tmp_->filePath("started");
    QDir().mkpath(started);
    // Writes half a result, then takes its time.
    TestFiles::writeFakeTools(
        tmp_->filePath("fake"),
        QStringLiteral("touch '%1'/$$; for l; do :; done; echo partial > \"$l\"; exec sleep 30")
            .arg(started));
    JobList list;
    for (int i = 0; i < 7; ++i)
        list.addData(
            TestFiles::writeImage(tmp_->filePath(QStringLiteral("p%1.png").arg(i)), "png"));
    RunOptions o = options(ConvertMode::ImageToWebp, tmp_->filePath("out"));
    o.toolsDirectory = tmp_->filePath("fake");
    BatchRun batch;
    QSignalSpy finished(&batch, &BatchRun::finished);
    QVERIFY(batch.start(&list, o));
    QTRY_COMPARE_WITH_TIMEOUT(QDir(started).entryList(QDir::Files).size(), 5, 10000);
    QVERIFY(list.isLocked());
    batch.cancel();
    QVERIFY(finished.wait(10000));
    QVERIFY(finished.at(0).at(0).value<RunReport>().cancelled);
    for (int i = 0; i < list.count(); ++i)
        QCOMPARE(list.at(i).completed, JobState::Waiting);
    QCOMPARE(QDir(tmp_->filePath("out")).entryList(QDir::Files | QDir::Hidden), QStringList{});
    QCOMPARE(QDir(work_).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{});
    QVERIFY(!list.isLocked());
}

void BatchRunTest::leftoversOfKilledRunsAreRemoved() {
    const QString dead = work_ + "/tessaro-run-dead01";
    const QString alive = work_ + "/tessaro-run-alive1";
    QDir().mkpath(dead);
    QDir().mkpath(alive);
    // A lock whose owner process no longer exists, as a killed run leaves it.
    TestFiles::writeBytes(
        dead + "/.lock",
        QStringLiteral("999999\ntessaro\n%1\n").arg(QSysInfo::machineHostName()).toUtf8());
    TestFiles::writeBytes(dead + "/0-photo_output.webp", "partial");
    TestFiles::writeBytes(dead + "/3-x_documents.png", "copy");
    TestFiles::writeBytes(dead + "/notes.txt", "not ours");
    QLockFile liveLock(alive + "/.lock");
    QVERIFY(liveLock.tryLock(0));
    TestFiles::writeBytes(alive + "/0-busy_output.webp", "in use");

    JobList empty;
    run(empty, options(ConvertMode::ImageToWebp, tmp_->filePath("out")));
    QCOMPARE(QDir(dead).entryList(QDir::Files | QDir::Hidden), QStringList{"notes.txt"});
    QVERIFY(QFile::exists(alive + "/0-busy_output.webp"));
}

QTEST_GUILESS_MAIN(BatchRunTest)
#include "tst_batchrun.moc"
