#include "BatchRun.h"
#include "JobList.h"
#include "TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <array>

using TestFiles::entries;
using TestFiles::processAlive;
using TestFiles::stemOfBytes;
using TestFiles::UmaskScope;

namespace {

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
    void nameTooLongWithCounterFails();
    void argumentListsAndExecutableName();
    void sameNamesInOneRunAndExistingFiles();
    void keepDate();
    void toolFailures_data();
    void toolFailures();
    void unwritableOutputPutsJobBackToWaiting();
    void animatedWebpCannotBeDecoded();
    void atMostFiveToolsAtOnce();
    void secondRunSkipsConvertedJobs();
    void toolIgnoringTermIsKilledWithItsChildren();
    void cancelKillsToolsThatIgnoreItAndLeavesNoPartialFile();
    void leftoversOfKilledRunsAreRemoved();
    void liveRunFoldersSurviveCleanup();
    void twoProcessesShareOneOutputFolder();

private:
    RunReport run(JobList& list, const RunOptions& options, BatchRun* batch = nullptr);
    RunOptions options(ConvertMode mode, const QString& fakeScript = {});
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
RunOptions BatchRunTest::options(ConvertMode mode, const QString& fakeScript) {
    RunOptions o;
    o.mode = mode;
    o.quality = 80;
    o.outputDirectory = file("out");
    o.workDirectory = work_;
    o.toolsDirectory = TestFiles::realToolsDirectory();
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
        list.addPath(TestFiles::writeImage(file(QStringLiteral("p%1.png").arg(i)), "png"));
}

void BatchRunTest::modesEndToEnd_data() {
    QTest::addColumn<ConvertMode>("mode");
    QTest::addColumn<QString>("inputExtension");
    QTest::addColumn<QString>("outputExtension");
    QTest::addColumn<int>("stemBytes");
    QTest::addColumn<int>("umask"); // results get the mode a new file gets
    const struct {
        const char* name;
        ConvertMode mode;
        const char* in;
        const char* out;
        int umask;
    } modes[] = {{"png to webp", ConvertMode::ImageToWebp, "png", "webp", 022},
                 {"jpg", ConvertMode::ImageToWebp, "jpg", "webp", 077},
                 {"webp to png", ConvertMode::WebpToPng, "webp", "png", 002},
                 {"webp to jpg", ConvertMode::WebpToJpg, "webp", "jpg", 077},
                 {"gif to webp", ConvertMode::GifToWebp, "gif", "webp", 002}};
    for (const auto& m : modes) {
        const int in = int(qstrlen(m.in));
        QTest::addRow("%s, short name", m.name) << m.mode << m.in << m.out << 1 << m.umask;
        QTest::addRow("%s, 244-byte source", m.name) << m.mode << m.in << m.out << 243 - in << 022;
        // The source or the result name is exactly 255 bytes.
        QTest::addRow("%s, longest that fits", m.name)
            << m.mode << m.in << m.out << 254 - qMax<int>(in, int(qstrlen(m.out))) << 022;
    }
}

// Every mode end to end, short and long names alike: the tools manage long ones, so must we.
// Only the result is left behind: no temporary output, no copy, no run folder.
void BatchRunTest::modesEndToEnd() {
    QFETCH(ConvertMode, mode);
    QFETCH(QString, inputExtension);
    QFETCH(QString, outputExtension);
    QFETCH(int, stemBytes);
    QFETCH(int, umask);
    const UmaskScope scopedUmask(umask);
    const QString stem = stemOfBytes(stemBytes);
    const QString src = file(stem + u'.' + inputExtension);
    if (inputExtension == "webp") // written under a short name: the helper adds a suffix
        QVERIFY(QFile::rename(TestFiles::writeWebp(file("w.webp")), src));
    else if (inputExtension == "gif")
        TestFiles::writeAnimatedGif(src);
    else
        TestFiles::writeImage(src, inputExtension == "png" ? "png" : "jpeg");
    JobList list;
    QVERIFY(list.addPath(src));
    const RunReport report = run(list, options(mode));
    QVERIFY2(list.at(0).state == JobState::Converted, qPrintable(list.at(0).detail));
    QVERIFY(!report.failed());
    const QString result = stem + u'.' + outputExtension;
    QCOMPARE(list.at(0).outputPath, file("out/" + result));
    QVERIFY(formatMatchesName(list.at(0).outputPath, mode == ConvertMode::GifToWebp));
    QVERIFY(!QImage(list.at(0).outputPath).isNull());
    QCOMPARE(TestFiles::permissionBits(list.at(0).outputPath), 0666 & ~umask);
    QCOMPARE(entries(file("out")), QStringList{result});
    QCOMPARE(entries(work_), QStringList{});
    QVERIFY(!list.isLocked());
}

void BatchRunTest::nameTooLongWithCounterFails() {
    const QString stem = stemOfBytes(250); // 255 bytes with ".webp", 258 with "(1)"
    const QString src = TestFiles::writeImage(file(stem + ".png"), "png");
    const QString taken = TestFiles::writeBytes(file("out/" + stem + ".webp"), "mine");
    JobList list;
    list.addPath(src);
    list.addPath(TestFiles::writeImage(file("short.png"), "png"));
    const RunReport report = run(list, options(ConvertMode::ImageToWebp));
    QCOMPARE(report.failedJobs.value(0).reason, Reason::NameTooLong);
    QCOMPARE(list.at(0).state, JobState::Failed);
    QVERIFY2(list.at(0).detail.contains(src), qPrintable(list.at(0).detail));
    QCOMPARE(list.at(1).state, JobState::Converted);
    QCOMPARE(TestFiles::head(taken, 10), QByteArray("mine"));
    QCOMPARE(entries(file("out")), (QStringList{"short.webp", stem + ".webp"}));
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
    list.addPath(a);
    list.addPath(jpg);
    RunOptions o = options(ConvertMode::ImageToWebp, script);
    o.quality = 75;
    QVERIFY(!run(list, o).failed());
    QStringList lines = logged();
    QCOMPARE(lines.size(), 2);
    const QString exe =
        QSysInfo::currentCpuArchitecture().startsWith("arm") ? "cwebp" : "cwebp-x8664";
    QVERIFY2(lines.at(0).startsWith(
                 QStringLiteral("%1|-q 75 %2 -o %3/tessaro-run-").arg(exe, a, work_)) &&
                 lines.at(0).endsWith("/0.out.webp"),
             qPrintable(lines.at(0)));
    // A plain JPEG goes to the tool as it is, output still named after the source.
    QVERIFY2(lines.at(1).contains(QStringLiteral("-q 75 %1 -o ").arg(jpg)) &&
                 lines.at(1).endsWith("/1.out.webp"),
             qPrintable(lines.at(1)));
    QCOMPARE(entries(file("out")), (QStringList{"a.b.webp", "j.webp"}));

    // The decoding modes pass three arguments and no quality.
    JobList webps;
    webps.addPath(TestFiles::writeWebp(file("w.webp")));
    o.mode = ConvertMode::WebpToPng;
    QVERIFY(!run(webps, o).failed());
    lines = logged();
    QVERIFY2(QRegularExpression("^dwebp(-x8664)?\\|\\S+/w\\.webp -o \\S+/0\\.out\\.png$")
                 .match(lines.value(0))
                 .hasMatch(),
             qPrintable(lines.value(0)));
}

void BatchRunTest::sameNamesInOneRunAndExistingFiles() {
    JobList list;
    for (const char* folder : {"a", "b", "c"})
        QDir().mkpath(file(folder));
    list.addPath(TestFiles::writeImage(file("a/photo.png"), "png"));
    list.addPath(TestFiles::writeImage(file("b/photo.png"), "jpeg")); // JPEG content
    list.addPath(TestFiles::writeImage(file("c/photo.jpg"), "jpeg"));
    const QString existing = TestFiles::writeBytes(file("out/photo.webp"), "mine");
    QCOMPARE(run(list, options(ConvertMode::ImageToWebp)).converted, 3);
    QCOMPARE(TestFiles::head(existing, 10), QByteArray("mine"));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(list.at(i).outputPath, file(QStringLiteral("out/photo(%1).webp").arg(i + 1)));
        QVERIFY(TestFiles::isWebp(list.at(i).outputPath));
    }
    // Next to each source, no output folder at all: a taken name gets its number there too.
    const QString beside = TestFiles::writeBytes(file("a/photo.webp"), "mine too");
    JobList again;
    again.addPath(file("a/photo.png"));
    again.addPath(file("c/photo.jpg"));
    RunOptions o = options(ConvertMode::ImageToWebp);
    o.outputDirectory.clear();
    o.nextToSource = true;
    QCOMPARE(run(again, o).converted, 2);
    QCOMPARE(again.at(0).outputPath, file("a/photo(1).webp"));
    QCOMPARE(again.at(1).outputPath, file("c/photo.webp"));
    QCOMPARE(TestFiles::head(beside, 10), QByteArray("mine too"));
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
        list.addPath(src);
        RunOptions o = options(ConvertMode::ImageToWebp);
        o.keepDate = keep;
        QVERIFY(!run(list, o).failed());
        const QDateTime modified = QFileInfo(list.at(0).outputPath).lastModified();
        QCOMPARE(modified == born, keep);
        QVERIFY(keep || modified > born.addSecs(1));
        // The access time is left as the write made it, never moved to the source's date.
        QVERIFY(QFileInfo(list.at(0).outputPath).lastRead() > born.addSecs(1));
    }
}

void BatchRunTest::toolFailures_data() {
    QTest::addColumn<QString>("fakeScript"); // "" = the real tools
    QTest::addColumn<QByteArray>("content"); // null = a valid PNG
    QTest::addColumn<QString>("errorPart");
    QTest::addColumn<Reason>("reason"); // None: converted
    using R = Reason;
    QTest::newRow("corrupt input")
        << "" << QByteArray("\x89PNG garbage") << "cwebp" << R::ToolFailed;
    QTest::newRow("zero-byte input") << "" << QByteArray("") << "cwebp" << R::ToolFailed;
    QTest::newRow("missing tool") << "missing" << QByteArray() << "Cannot start cwebp"
                                  << R::ToolNotStarted;
    QTest::newRow("silent, no output")
        << "exit 0" << QByteArray() << "wrote no output" << R::ToolSilent;
    QTest::newRow("empty output") << "for l; do :; done; : > \"$l\"" << QByteArray()
                                  << "wrote no output" << R::ToolSilent;
    QTest::newRow("says why, exits 1")
        << "echo 'Bad input' >&2; exit 1" << QByteArray() << "Bad input" << R::ToolFailed;
    QTest::newRow("crash, nothing said")
        << "kill -SEGV $$" << QByteArray() << "crashed" << R::ToolSilent;
    QTest::newRow("hang past the limit")
        << "exec sleep 30" << QByteArray() << "did not finish" << R::ToolTimedOut;
    QTest::newRow("stderr flood, then success")
        << "head -c 8000000 /dev/zero | tr '\\0' e >&2; for l; do :; done; echo ok > \"$l\""
        << QByteArray() << "" << R::None;
}

void BatchRunTest::toolFailures() {
    QFETCH(QString, fakeScript);
    QFETCH(QByteArray, content);
    QFETCH(QString, errorPart);
    QFETCH(Reason, reason);
    const QString src = content.isNull() ? TestFiles::writeImage(file("in.png"), "png")
                                         : TestFiles::writeBytes(file("in.png"), content);
    RunOptions o =
        options(ConvertMode::ImageToWebp, fakeScript == "missing" ? QString() : fakeScript);
    o.toolTimeoutMs = 500;
    if (fakeScript == "missing")
        o.toolsDirectory = file("no-tools-here");
    JobList list;
    list.addPath(src);
    const RunReport report = run(list, o);
    QCOMPARE(list.at(0).reason, reason);
    QCOMPARE(list.at(0).state, reason == Reason::None ? JobState::Converted : JobState::Failed);
    if (reason == Reason::None)
        return;
    QCOMPARE(report.failedJobs.value(0).reason, reason);
    QVERIFY2(list.at(0).detail.contains(errorPart) && list.at(0).detail.contains(src),
             qPrintable(list.at(0).detail));
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
    QVERIFY(finished.at(0).at(0).value<RunReport>().failed());
    QCOMPARE(list.at(0).state, JobState::Waiting);
    QCOMPARE(list.at(0).reason, Reason::WriteFailed);
    QVERIFY(list.at(0).detail.contains(file("out")));
    QVERIFY(!QFileInfo::exists(file("out")));
    QCOMPARE(entries(work_), QStringList{});
}

void BatchRunTest::animatedWebpCannotBeDecoded() {
    JobList gifs;
    gifs.addPath(TestFiles::writeAnimatedGif(file("anim.gif")));
    QVERIFY(!run(gifs, options(ConvertMode::GifToWebp)).failed());
    for (const ConvertMode mode : {ConvertMode::WebpToPng, ConvertMode::WebpToJpg}) {
        JobList list;
        list.addPath(gifs.at(0).outputPath);
        const RunReport report = run(list, options(mode));
        QCOMPARE(list.at(0).state, JobState::Failed);
        QCOMPARE(report.failedJobs.size(), 1);
        QCOMPARE(report.failedJobs.first().reason, Reason::AnimatedWebp);
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
    list.addPath(bad);
    QVERIFY(run(list, options(ConvertMode::ImageToWebp)).failed());
    QCOMPARE(list.at(0).state, JobState::Converted);
    QCOMPARE(list.at(1).state, JobState::Failed);

    TestFiles::writeImage(bad, "png"); // repaired meanwhile
    QDir().mkpath(file("out2"));
    RunOptions o = options(ConvertMode::ImageToWebp);
    o.outputDirectory = file("out2");
    const RunReport second = run(list, o);
    QCOMPARE(second.alreadyConverted, 1);
    QCOMPARE(second.converted, 1);
    QCOMPARE(entries(file("out2")), QStringList{"bad.webp"});
}

void BatchRunTest::cancelKillsToolsThatIgnoreItAndLeavesNoPartialFile() {
    const QString started = file("started");
    QDir().mkpath(started);
    JobList list;
    addPngs(list, 7);
    BatchRun batch;
    QSignalSpy finished(&batch, &BatchRun::finished);
    // Each tool writes half a result, ignores the polite request to stop and takes its time.
    QVERIFY(batch.start(&list, options(ConvertMode::ImageToWebp,
                                       QStringLiteral("trap '' TERM; echo $$ > '%1'/$$;"
                                                      " for l; do :; done; echo partial > \"$l\";"
                                                      " sleep 60 & wait")
                                           .arg(started))));
    QTRY_COMPARE_WITH_TIMEOUT(QDir(started).entryList(QDir::Files).size(), 5, 10000);
    QVERIFY(list.isLocked());
    batch.cancel();
    QVERIFY(finished.wait(20000)); // after the grace period the tools are killed
    QVERIFY(finished.at(0).at(0).value<RunReport>().cancelled);
    QVERIFY(!finished.at(0).at(0).value<RunReport>().failed());
    for (const QString& pid : QDir(started).entryList(QDir::Files))
        QTRY_VERIFY_WITH_TIMEOUT(!processAlive(pid.toLongLong()), 5000);
    for (int i = 0; i < list.count(); ++i)
        QCOMPARE(list.at(i).state, JobState::Waiting);
    QCOMPARE(entries(file("out")), QStringList{});
    QCOMPARE(entries(work_), QStringList{});
    QVERIFY(!list.isLocked());
}

void BatchRunTest::toolIgnoringTermIsKilledWithItsChildren() {
    const QString pids = file("pids");
    // The tool and a child of it both ignore the polite request to stop.
    RunOptions o =
        options(ConvertMode::ImageToWebp,
                QStringLiteral("trap '' TERM; sleep 60 & echo \"$$ $!\" > '%1'; wait").arg(pids));
    o.toolTimeoutMs = 300;
    JobList list;
    addPngs(list, 1);
    run(list, o);
    QCOMPARE(list.at(0).reason, Reason::ToolTimedOut);
    const QList<QByteArray> written = TestFiles::head(pids, 100).trimmed().split(' ');
    QCOMPARE(written.size(), 2);
    for (const QByteArray& pid : written)
        QTRY_VERIFY_WITH_TIMEOUT(!processAlive(pid.toLongLong()), 5000);
    QCOMPARE(entries(work_), QStringList{});
}

void BatchRunTest::leftoversOfKilledRunsAreRemoved() {
    const QString dead = work_ + "/tessaro-run-dead01";
    const QString noLock = work_ + "/tessaro-run-nolock";
    QDir().mkpath(dead);
    QDir().mkpath(noLock);
    // Locks whose owner process no longer exists, as a killed run leaves them.
    const QByteArray staleLock = "999999\ntessaro\n" + QSysInfo::machineHostName().toUtf8() + "\n";
    TestFiles::writeBytes(dead + ".lock", staleLock);
    TestFiles::writeBytes(work_ + "/tessaro-run-orphan.lock", staleLock);
    TestFiles::writeBytes(dead + "/0.out.webp", "partial");
    TestFiles::writeBytes(dead + "/3.copy.png", "copy");
    TestFiles::writeBytes(dead + "/4.jpeg.jpg", "re-encoded");
    TestFiles::writeBytes(dead + "/5.upright.png", "turned");
    TestFiles::writeBytes(dead + "/notes.txt", "not ours");
    TestFiles::writeBytes(dead + "/0-photo_output.webp", "not a name we give");
    TestFiles::writeBytes(noLock + "/1.out.png", "partial");
    TestFiles::writeBytes(work_ + "/notes.txt", "not ours either");

    JobList empty;
    run(empty, options(ConvertMode::ImageToWebp));
    QCOMPARE(entries(dead), (QStringList{"0-photo_output.webp", "notes.txt"}));
    QCOMPARE(entries(work_), (QStringList{"notes.txt", "tessaro-run-dead01"}));
}

// A run's folder is never removed while its lock is held: by another process, or by a run
// that has taken its lock and is about to make (or has just made) the folder.
void BatchRunTest::liveRunFoldersSurviveCleanup() {
    QDir().mkpath(work_ + "/tessaro-run-other1");
    TestFiles::writeBytes(work_ + "/tessaro-run-other1/0.out.webp", "in use");
    QProcess holder;
    holder.start(QCoreApplication::applicationFilePath(),
                 {"--hold-lock", work_ + "/tessaro-run-other1.lock"});
    QVERIFY(holder.waitForReadyRead(10000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("locked"));

    QDir().mkpath(work_ + "/tessaro-run-young1"); // made a moment ago, still empty
    QLockFile young(work_ + "/tessaro-run-young1.lock");
    QLockFile notYetMade(work_ + "/tessaro-run-young2.lock");
    QVERIFY(young.tryLock(0) && notYetMade.tryLock(0));

    BatchRun::removeLeftovers(work_);
    // A real run started meanwhile cleans up as well and still leaves them alone.
    JobList list;
    addPngs(list, 1);
    QCOMPARE(run(list, options(ConvertMode::ImageToWebp)).converted, 1);

    QVERIFY(QFile::exists(work_ + "/tessaro-run-other1/0.out.webp"));
    QVERIFY(QFileInfo(work_ + "/tessaro-run-young1").isDir());
    QVERIFY(QFile::exists(work_ + "/tessaro-run-young2.lock"));
    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(10000));
    young.unlock();
    notYetMade.unlock();
    // Their owners gone, the next cleanup takes everything.
    BatchRun::removeLeftovers(work_);
    QCOMPARE(entries(work_), QStringList{});
}

// Two processes converting same-named files into one folder at once: every result lands
// under its own name and none replaces another.
void BatchRunTest::twoProcessesShareOneOutputFolder() {
    constexpr int PerProcess = 4;
    const QString mine = TestFiles::writeBytes(file("out/p.webp"), "mine");
    // The real encoder, started only once all tools of both runs are up: both runs have
    // chosen their names before either publishes.
    const QString started = file("started");
    QDir().mkpath(started);
    const QString tools = file("tools");
    TestFiles::writeFakeTools(
        tools, QStringLiteral("touch '%1'/$$; i=0\n"
                              "while [ $(ls '%1' | wc -l) -lt %2 ] && [ $i -lt 400 ]; do "
                              "sleep 0.05; i=$((i+1)); done\n"
                              "exec '%3'/\"$(basename \"$0\")\" \"$@\"")
                   .arg(started)
                   .arg(2 * PerProcess)
                   .arg(TestFiles::realToolsDirectory()));
    QList<int> widths;
    std::array<QProcess, 2> processes;
    for (int p = 0; p < 2; ++p) {
        QStringList arguments{"--convert", file("out"), work_, tools};
        for (int i = 0; i < PerProcess; ++i) {
            const int width = 20 + p * PerProcess + i; // tells the results apart
            const QString folder = file(QStringLiteral("in%1").arg(width));
            QDir().mkpath(folder);
            arguments << TestFiles::writeImage(folder + "/p.png", "png", {width, 16});
            widths << width;
        }
        processes[p].setProcessChannelMode(QProcess::ForwardedErrorChannel);
        processes[p].start(QCoreApplication::applicationFilePath(), arguments);
    }
    for (QProcess& process : processes) {
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(process.exitCode(), 0);
    }
    QCOMPARE(TestFiles::head(mine, 10), QByteArray("mine"));
    QStringList results = entries(file("out"));
    QCOMPARE(results.size(), 2 * PerProcess + 1);
    results.removeOne("p.webp");
    QList<int> decoded;
    for (const QString& name : results) {
        QVERIFY2(QRegularExpression("^p\\(\\d\\)\\.webp$").match(name).hasMatch(),
                 qPrintable(name));
        decoded << QImage(file("out/" + name)).width();
    }
    std::sort(decoded.begin(), decoded.end());
    QCOMPARE(decoded, widths);
    QCOMPARE(QDir(started).entryList(QDir::Files).size(), 2 * PerProcess);
    QCOMPARE(entries(work_), QStringList{});
}

namespace {

// Child-process modes of this test program:
//   --convert <out> <work> <tools> <inputs...>  converts the inputs to WebP, exit status =
//                                               failed jobs;
//   --hold-lock <path>                          holds a run lock until standard input closes.
int helperMain(const QStringList& arguments) {
    if (arguments.value(1) == "--hold-lock") {
        QLockFile lock(arguments.value(2));
        if (!lock.tryLock(0))
            return 1;
        QFile out;
        out.open(stdout, QIODevice::WriteOnly);
        out.write("locked\n");
        out.flush();
        QFile in;
        in.open(stdin, QIODevice::ReadOnly);
        while (!in.read(1).isEmpty()) {
        }
        return 0;
    }
    JobList list;
    for (const QString& input : arguments.mid(5))
        list.addPath(input);
    RunOptions o;
    o.mode = ConvertMode::ImageToWebp;
    o.outputDirectory = arguments.value(2);
    o.workDirectory = arguments.value(3);
    o.toolsDirectory = arguments.value(4);
    BatchRun batch;
    int failures = -1;
    QObject::connect(&batch, &BatchRun::finished, [&](const RunReport& report) {
        failures = static_cast<int>(report.failedJobs.size());
        for (int i = 0; i < list.count(); ++i)
            if (!list.at(i).detail.isEmpty())
                qWarning().noquote() << list.at(i).detail;
        QCoreApplication::quit();
    });
    if (!batch.start(&list, o))
        return 100;
    QCoreApplication::exec();
    return failures;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QByteArray mode = argc > 1 ? argv[1] : "";
    if (mode == "--convert" || mode == "--hold-lock")
        return helperMain(app.arguments());
    BatchRunTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_batchrun.moc"
