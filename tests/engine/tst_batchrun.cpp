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

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Checks the real format of a result by its content, as the name says it should be.
bool formatMatchesName(const QString& path, bool animated) {
    if (path.endsWith(".jpg"))
        return TestFiles::isJpeg(path);
    if (path.endsWith(".png"))
        return TestFiles::isPng(path);
    return animated ? TestFiles::isAnimatedWebp(path) : TestFiles::isWebp(path);
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
    RunReport run(JobList& list, const RunOptions& options, BatchRun* batch = nullptr);
    RunOptions options(qint64 mode, const QString& fakeScript = {});
    QString file(const QString& name) const { return tmp_->filePath(name); }
    void addPngs(JobList& list, int count);
    std::unique_ptr<QTemporaryDir> tmp_;
    QString work_;
};

void BatchRunTest::init() {
    tmp_ = std::make_unique<QTemporaryDir>();
    work_ = file("work");
    QDir().mkpath(file("out"));
}

// Options for a run into out/; with a script, every tool is a fake running it.
RunOptions BatchRunTest::options(qint64 mode, const QString& fakeScript) {
    RunOptions o;
    o.convertType = mode;
    o.ratio = 80;
    o.outputDirectory = file("out");
    o.workDirectory = work_;
    o.toolsDirectory = TestFiles::realToolsDirectory();
    o.countRun = false;
    if (!fakeScript.isEmpty()) {
        o.toolsDirectory = file("fake");
        TestFiles::writeFakeTools(o.toolsDirectory, fakeScript);
    }
    return o;
}

RunReport BatchRunTest::run(JobList& list, const RunOptions& options, BatchRun* batch) {
    BatchRun local;
    BatchRun& b = batch ? *batch : local;
    QSignalSpy finished(&b, &BatchRun::finished);
    if (!b.start(&list, options) || !finished.wait(60000))
        return {};
    return finished.takeFirst().at(0).value<RunReport>();
}

void BatchRunTest::addPngs(JobList& list, int count) {
    for (int i = 0; i < count; ++i)
        list.addData(TestFiles::writeImage(file(QStringLiteral("p%1.png").arg(i)), "png"));
}

void BatchRunTest::modesEndToEnd_data() {
    QTest::addColumn<qint64>("mode");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::newRow("webp to real jpeg") << ConvertMode::WebpToJpg << "a.webp"
                                       << "a.jpg";
    QTest::newRow("webp to png") << ConvertMode::WebpToPng << "a.webp"
                                 << "a.png";
    QTest::newRow("png to webp") << ConvertMode::ImageToWebp << "a.png"
                                 << "a.webp";
    QTest::newRow("jpg via copy") << ConvertMode::ImageToWebp << "a.jpg"
                                  << "a.webp";
    QTest::newRow("jpeg named png") << ConvertMode::ImageToWebp << "jpeg-as.png"
                                    << "jpeg-as.webp";
    QTest::newRow("jpeg extension") << ConvertMode::ImageToWebp << "b.jpeg"
                                    << "b.webp";
    QTest::newRow("gif to animated") << ConvertMode::GifToWebp << "anim.gif"
                                     << "anim.webp";
}

void BatchRunTest::modesEndToEnd() {
    QFETCH(qint64, mode);
    QFETCH(QString, input);
    QFETCH(QString, output);
    const QString src = file(input);
    if (input.endsWith(".webp"))
        TestFiles::writeWebp(src);
    else if (input.endsWith(".gif"))
        TestFiles::writeAnimatedGif(src);
    else
        TestFiles::writeImage(src, input == "a.png" ? "png" : "jpeg");
    JobList list;
    QVERIFY(list.addData(src));
    const RunReport report = run(list, options(mode));
    QVERIFY2(list.at(0).completed == JobState::Converted, qPrintable(list.at(0).errorText));
    QVERIFY(!report.failed && report.closingMessage().isEmpty());
    QCOMPARE(list.at(0).outputPath, file("out/" + output));
    QVERIFY(formatMatchesName(list.at(0).outputPath, mode == ConvertMode::GifToWebp));
    QVERIFY(!QImage(list.at(0).outputPath).isNull());
    // Only the result is left: no temporary output, no copy, no run folder.
    QCOMPARE(entries(file("out")), QStringList{output});
    QCOMPARE(entries(work_), QStringList{});
    QVERIFY(!list.isLocked());
}

void BatchRunTest::argumentListsAndExecutableName() {
    const QString log = file("args.log");
    const QString png = TestFiles::writeImage(file("real.png"), "png");
    const QString script = QStringLiteral("echo \"$(basename \"$0\")|$*\" >> '%1'\n"
                                          "for last; do :; done; cp '%2' \"$last\"")
                               .arg(log, png);
    const auto logged = [&] {
        QStringList lines =
            QString::fromUtf8(TestFiles::head(log, 10000)).split('\n', Qt::SkipEmptyParts);
        QFile::remove(log);
        lines.sort();
        return lines;
    };
    const QString a = TestFiles::writeImage(file("a.b.png"), "png");
    const QString jpg = TestFiles::writeImage(file("j.jpg"), "jpeg");
    JobList list;
    list.addData(a);
    list.addData(jpg);
    RunOptions o = options(ConvertMode::ImageToWebp, script);
    o.ratio = 75.9; // truncated, never rounded
    QVERIFY(!run(list, o).failed);
    QStringList lines = logged();
    QCOMPARE(lines.size(), 2);
    const QString exe =
        QSysInfo::currentCpuArchitecture().startsWith("arm") ? "cwebp" : "cwebp-x8664";
    QVERIFY2(lines.at(0).startsWith(
                 QStringLiteral("%1|-q 75 %2 -o %3/tessaro-run-").arg(exe, a, work_)) &&
                 lines.at(0).endsWith("/0-a.b_output.webp"),
             qPrintable(lines.at(0)));
    // JPEG content: the tool reads the normalised copy, the output is named after the source.
    QVERIFY2(
        lines.at(1).contains(QRegularExpression("/1-j_documents\\.jpg -o .*/1-j_output\\.webp$")),
        qPrintable(lines.at(1)));
    QCOMPARE(entries(file("out")), (QStringList{"a.b.webp", "j.webp"}));

    // Lossless copies hand the tool raw pixels.
    JobList lossless;
    lossless.addData(jpg);
    o.losslessCopies = true;
    QVERIFY(!run(lossless, o).failed);
    QVERIFY(logged().constFirst().contains("/0-j_documents.ppm -o "));

    // The decoding modes pass three arguments and no quality.
    JobList webps;
    webps.addData(TestFiles::writeWebp(file("w.webp")));
    o.convertType = ConvertMode::WebpToPng;
    QVERIFY(!run(webps, o).failed);
    lines = logged();
    QVERIFY2(QRegularExpression("^dwebp(-x8664)?\\|\\S+/w\\.webp -o \\S+/0-w_output\\.png$")
                 .match(lines.value(0))
                 .hasMatch(),
             qPrintable(lines.value(0)));
}

void BatchRunTest::sameNamesInOneRunAndExistingFiles() {
    JobList list;
    for (const char* folder : {"a", "b", "c"})
        QDir().mkpath(file(folder));
    list.addData(TestFiles::writeImage(file("a/photo.png"), "png"));
    list.addData(TestFiles::writeImage(file("b/photo.png"), "jpeg")); // normalised
    list.addData(TestFiles::writeImage(file("c/photo.jpg"), "jpeg"));
    const QString existing = TestFiles::writeBytes(file("out/photo.webp"), "mine");
    QCOMPARE(run(list, options(ConvertMode::ImageToWebp)).converted, 3);
    QCOMPARE(TestFiles::head(existing, 10), QByteArray("mine"));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(list.at(i).outputPath, file(QStringLiteral("out/photo(%1).webp").arg(i + 1)));
        QVERIFY(TestFiles::isWebp(list.at(i).outputPath));
    }
}

void BatchRunTest::keepDate() {
    const QString src = TestFiles::writeImage(file("old.png"), "png");
    const QDateTime born = QFileInfo(src).birthTime();
    if (!born.isValid())
        QSKIP("this file system records no creation date");
    QTest::qWait(1100); // results must be clearly younger than their source
    for (const bool keep : {true, false}) {
        QDir(file("out")).removeRecursively();
        QDir().mkpath(file("out"));
        JobList list;
        list.addData(src);
        RunOptions o = options(ConvertMode::ImageToWebp);
        o.keepDate = keep;
        QVERIFY(!run(list, o).failed);
        const QDateTime modified = QFileInfo(list.at(0).outputPath).lastModified();
        QCOMPARE(modified == born, keep);
        QVERIFY(keep || modified > born.addSecs(1));
    }
}

void BatchRunTest::toolFailures_data() {
    QTest::addColumn<QString>("fakeScript"); // "" = the real tools
    QTest::addColumn<QByteArray>("content"); // null = a valid PNG
    QTest::addColumn<QString>("errorPart");
    QTest::addColumn<QString>("message");
    // The closing text: "listed" names the file with its reason.
    const QString support = ClosingTexts::silentTool();
    const QString listed = QStringLiteral("listed");
    QTest::newRow("corrupt input") << "" << QByteArray("\x89PNG garbage") << "cwebp" << listed;
    QTest::newRow("zero-byte input") << "" << QByteArray("") << "cwebp" << listed;
    QTest::newRow("missing tool") << "missing" << QByteArray() << "Cannot start cwebp" << listed;
    QTest::newRow("silent, no output") << "exit 0" << QByteArray() << "wrote no output" << support;
    QTest::newRow("empty output") << "for l; do :; done; : > \"$l\"" << QByteArray()
                                  << "wrote no output" << support;
    QTest::newRow("says why, exits 1")
        << "echo 'Bad input' >&2; exit 1" << QByteArray() << "Bad input" << listed;
    QTest::newRow("crash, nothing said") << "kill -SEGV $$" << QByteArray() << "crashed" << support;
    QTest::newRow("hang past the limit")
        << "exec sleep 30" << QByteArray() << "did not finish" << listed;
    QTest::newRow("stderr flood, then success")
        << "head -c 8000000 /dev/zero | tr '\\0' e >&2; for l; do :; done; echo ok > \"$l\""
        << QByteArray() << "" << QString();
}

void BatchRunTest::toolFailures() {
    QFETCH(QString, fakeScript);
    QFETCH(QByteArray, content);
    QFETCH(QString, errorPart);
    QFETCH(QString, message);
    const QString src = content.isNull() ? TestFiles::writeImage(file("in.png"), "png")
                                         : TestFiles::writeBytes(file("in.png"), content);
    RunOptions o =
        options(ConvertMode::ImageToWebp, fakeScript == "missing" ? QString() : fakeScript);
    o.toolTimeoutMs = 500;
    if (fakeScript == "missing")
        o.toolsDirectory = file("no-tools-here");
    JobList list;
    list.addData(src);
    const RunReport report = run(list, o);
    if (message == QLatin1String("listed"))
        QVERIFY2(report.closingMessage() == list.at(0).errorText && !message.isEmpty(),
                 qPrintable(report.closingMessage()));
    else
        QCOMPARE(report.closingMessage(), message);
    QCOMPARE(list.at(0).completed, message.isEmpty() ? JobState::Converted : JobState::Failed);
    if (message.isEmpty())
        return;
    QVERIFY2(list.at(0).errorText.contains(errorPart) && list.at(0).errorText.contains(src),
             qPrintable(list.at(0).errorText));
    QCOMPARE(entries(file("out")), QStringList{});
    QCOMPARE(entries(work_), QStringList{});
}

void BatchRunTest::unwritableOutputPutsJobBackToWaiting() {
    JobList list;
    addPngs(list, 1);
    BatchRun batch;
    QSignalSpy finished(&batch, &BatchRun::finished);
    QVERIFY(batch.start(&list, options(ConvertMode::ImageToWebp)));
    // The folder goes away while the tool runs: the result has nowhere to go.
    QVERIFY(QDir(file("out")).removeRecursively());
    QVERIFY(finished.wait(60000));
    QVERIFY(finished.at(0).at(0).value<RunReport>().failed);
    QCOMPARE(list.at(0).completed, JobState::Waiting);
    QVERIFY(list.at(0).errorText.contains(file("out")));
    QCOMPARE(entries(work_), QStringList{});
}

void BatchRunTest::animatedWebpCannotBeDecoded() {
    JobList gifs;
    gifs.addData(TestFiles::writeAnimatedGif(file("anim.gif")));
    QVERIFY(!run(gifs, options(ConvertMode::GifToWebp)).failed);
    for (const qint64 mode : {ConvertMode::WebpToPng, ConvertMode::WebpToJpg}) {
        JobList list;
        list.addData(gifs.at(0).outputPath);
        const RunReport report = run(list, options(mode));
        QCOMPARE(list.at(0).completed, JobState::Failed);
        QCOMPARE(report.closingMessage(), QLatin1String(ClosingTexts::AnimatedWebp));
        QCOMPARE(report.failedJobs.size(), 1);
        QCOMPARE(report.failedJobs.first().kind, RunFailure::Kind::AnimatedWebp);
    }
    QCOMPARE(entries(file("out")), QStringList{"anim.webp"});
}

void BatchRunTest::atMostFiveToolsAtOnce() {
    const QString running = file("running");
    const QString counts = file("counts");
    const QString png = TestFiles::writeImage(file("real.png"), "png");
    QDir().mkpath(running);
    JobList list;
    addPngs(list, 12);
    BatchRun batch;
    QSignalSpy progress(&batch, &BatchRun::progressChanged);
    const RunReport report =
        run(list,
            options(ConvertMode::ImageToWebp,
                    QStringLiteral("touch '%1'/$$; ls '%1' | wc -l >> '%2'; sleep 0.4; rm '%1'/$$\n"
                                   "for last; do :; done; cp '%3' \"$last\"")
                        .arg(running, counts, png)),
            &batch);
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
    addPngs(list, 1);
    const QString bad = TestFiles::writeBytes(file("bad.png"), "nope");
    list.addData(bad);
    QVERIFY(run(list, options(ConvertMode::ImageToWebp)).failed);
    QCOMPARE(list.at(0).completed, JobState::Converted);
    QCOMPARE(list.at(1).completed, JobState::Failed);

    TestFiles::writeImage(bad, "png"); // repaired meanwhile
    QDir().mkpath(file("out2"));
    RunOptions o = options(ConvertMode::ImageToWebp);
    o.outputDirectory = file("out2");
    const RunReport second = run(list, o);
    QCOMPARE(second.alreadyConverted, 1);
    QCOMPARE(second.converted, 1);
    QCOMPARE(entries(file("out2")), QStringList{"bad.webp"});
}

void BatchRunTest::runCountAndRatingRequest() {
    Settings::setValue(SettingsKeys::ConvertCount, 7);
    RunCounter::resetAtLaunch();
    BatchRun batch;
    int ratingRequests = 0;
    batch.setRatingHook([&] { ++ratingRequests; });
    JobList empty;
    RunOptions o = options(ConvertMode::ImageToWebp);
    o.countRun = true;
    QList<int> requestsAfterRun;
    for (int i = 1; i <= 3; ++i) {
        QCOMPARE(run(empty, o, &batch).convertCount, i);
        requestsAfterRun << ratingRequests;
    }
    QCOMPARE(requestsAfterRun, (QList<int>{0, 1, 1}));
    QCOMPARE(Settings::integerValue(SettingsKeys::ConvertCount), 3);
}

void BatchRunTest::cancelLeavesNoPartialFile() {
    const QString started = file("started");
    QDir().mkpath(started);
    JobList list;
    addPngs(list, 7);
    BatchRun batch;
    QSignalSpy finished(&batch, &BatchRun::finished);
    // Each tool writes half a result, then takes its time.
    QVERIFY(batch.start(&list, options(ConvertMode::ImageToWebp,
                                       QStringLiteral("touch '%1'/$$; for l; do :; done;"
                                                      " echo partial > \"$l\"; exec sleep 30")
                                           .arg(started))));
    QTRY_COMPARE_WITH_TIMEOUT(QDir(started).entryList(QDir::Files).size(), 5, 10000);
    QVERIFY(list.isLocked());
    batch.cancel();
    QVERIFY(finished.wait(10000));
    QVERIFY(finished.at(0).at(0).value<RunReport>().cancelled);
    for (int i = 0; i < list.count(); ++i)
        QCOMPARE(list.at(i).completed, JobState::Waiting);
    QCOMPARE(entries(file("out")), QStringList{});
    QCOMPARE(entries(work_), QStringList{});
    QVERIFY(!list.isLocked());
}

void BatchRunTest::leftoversOfKilledRunsAreRemoved() {
    const QString dead = work_ + "/tessaro-run-dead01";
    const QString alive = work_ + "/tessaro-run-alive1";
    QDir().mkpath(dead);
    QDir().mkpath(alive);
    // A lock whose owner process no longer exists, as a killed run leaves it.
    TestFiles::writeBytes(dead + "/.lock",
                          "999999\ntessaro\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    TestFiles::writeBytes(dead + "/0-photo_output.webp", "partial");
    TestFiles::writeBytes(dead + "/3-x_documents.png", "copy");
    TestFiles::writeBytes(dead + "/notes.txt", "not ours");
    QLockFile liveLock(alive + "/.lock");
    QVERIFY(liveLock.tryLock(0));
    TestFiles::writeBytes(alive + "/0-busy_output.webp", "in use");

    JobList empty;
    run(empty, options(ConvertMode::ImageToWebp));
    QCOMPARE(entries(dead), QStringList{"notes.txt"});
    QVERIFY(QFile::exists(alive + "/0-busy_output.webp"));
}

QTEST_GUILESS_MAIN(BatchRunTest)
#include "tst_batchrun.moc"
