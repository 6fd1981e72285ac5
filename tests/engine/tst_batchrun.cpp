#include "BatchRun.h"
#include "JobList.h"
#include "TestFiles.h"
#include "ToolCommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <array>

using namespace TestFiles;

class BatchRunTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> tmp_;
    QString work_;

    QString file(const QString& name) const { return tmp_->filePath(name); }
    // Options for a run into out/; with a script, every tool is a fake running it.
    RunOptions options(ConvertMode mode, const QString& fakeScript = {}) {
        RunOptions o;
        o.mode = mode;
        o.quality = 80;
        o.outputDirectory = file("out");
        o.workDirectory = work_;
        o.toolsDirectory = fakeScript.isEmpty() ? realToolsDirectory() : file("fake");
        if (!fakeScript.isEmpty())
            writeFakeTools(o.toolsDirectory, fakeScript);
        return o;
    }
    RunReport run(JobList& list, const RunOptions& options, BatchRun* batch = nullptr) {
        BatchRun local;
        BatchRun& b = batch ? *batch : local;
        QSignalSpy finished(&b, &BatchRun::finished);
        if (!b.start(&list, options) || !finished.wait(60000))
            return {};
        return finished.takeFirst().at(0).value<RunReport>();
    }
    void addPngs(JobList& list, int count) {
        for (int i = 0; i < count; ++i)
            list.addPath(writeImage(file(QStringLiteral("p%1.png").arg(i)), "png"));
    }

private Q_SLOTS:
    void init() {
        tmp_ = std::make_unique<QTemporaryDir>();
        work_ = file("work");
        QDir().mkpath(file("out"));
    }

    // Every mode end to end, with short names and with the longest that fit (the source or the
    // result name is 255 bytes): the tools manage them, so must we. A result gets the mode a new
    // file gets under the umask, and only the result is left: no temporary, copy or run folder.
    void modesEndToEnd_data() {
        QTest::addColumn<ConvertMode>("mode");
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("stem");
        QTest::addColumn<int>("umask");
        const struct {
            ConvertMode mode;
            const char *in, *out;
            int umask;
        } modes[] = {{ConvertMode::ImageToWebp, "png", "webp", 022},
                     {ConvertMode::ImageToWebp, "jpg", "webp", 077},
                     {ConvertMode::WebpToPng, "webp", "png", 002},
                     {ConvertMode::WebpToJpg, "webp", "jpg", 002},
                     {ConvertMode::GifToWebp, "gif", "webp", 002}};
        for (const auto& m : modes) {
            QTest::addRow("%s to %s", m.in, m.out) << m.mode << m.in << m.out << "a.b" << m.umask;
            QTest::addRow("%s to %s, longest names", m.in, m.out)
                << m.mode << m.in << m.out
                << stemOfBytes(254 - int(qMax(qstrlen(m.in), qstrlen(m.out)))) << 022;
        }
    }
    void modesEndToEnd() {
        QFETCH(ConvertMode, mode);
        QFETCH(QString, in);
        QFETCH(QString, out);
        QFETCH(QString, stem);
        QFETCH(int, umask);
        const UmaskScope scopedUmask(umask);
        const QString src = file(stem + u'.' + in);
        if (in == "webp") // written under a short name: the helper adds a suffix
            QVERIFY(QFile::rename(writeWebp(file("w.webp")), src));
        else if (in == "gif")
            writeAnimatedGif(src);
        else
            writeImage(src, in == "png" ? "png" : "jpeg");
        JobList list;
        QVERIFY(list.addPath(src));
        QVERIFY(!run(list, options(mode)).failed());
        const Job& job = list.at(0);
        QVERIFY2(job.state == JobState::Converted, qPrintable(job.detail));
        QCOMPARE(job.outputPath, file("out/" + stem + u'.' + out));
        QVERIFY(!QImage(job.outputPath).isNull()); // the format each name says: CliTest
        QCOMPARE(permissionBits(job.outputPath), 0666 & ~umask);
        QCOMPARE(entries(file("out")), QStringList{stem + u'.' + out});
        QCOMPARE(entries(work_), QStringList{});
    }

    // Same names in one run and names taken already get numbers; a job whose numbered name
    // would not fit fails alone. Nothing of the user's is replaced, in the output folder or
    // next to the sources. A second run converts only what is not converted yet.
    void namesNeverReplace() {
        for (const char* folder : {"a", "b", "c", "d"})
            QDir().mkpath(file(folder));
        const QString stem = stemOfBytes(250); // 255 bytes with ".webp", 258 with "(1)"
        const QString mine = writeBytes(file("out/photo.webp"), "mine"),
                      mineToo = writeBytes(file("out/" + stem + ".webp"), "mine"),
                      beside = writeBytes(file("d/photo.webp"), "mine");
        JobList list;
        for (const QString& source :
             {writeImage(file("a/photo.png"), "png"), writeImage(file("b/photo.png"), "jpeg"),
              writeImage(file("c/photo.jpg"), "jpeg"), writeImage(file(stem + ".png"), "png")})
            list.addPath(source);
        const RunReport report = run(list, options(ConvertMode::ImageToWebp));
        QCOMPARE(report.converted, 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(list.at(i).outputPath, file(QStringLiteral("out/photo(%1).webp").arg(i + 1)));
        QCOMPARE(report.failedJobs.value(0).reason, Reason::NameTooLong);
        QVERIFY2(list.at(3).state == JobState::Failed &&
                     list.at(3).detail.contains(list.at(3).path),
                 qPrintable(list.at(3).detail));
        QCOMPARE(entries(file("out")).size(), 5);

        list.addPath(writeImage(file("d/photo.png"), "png"));
        RunOptions o = options(ConvertMode::ImageToWebp);
        o.outputDirectory.clear();
        o.nextToSource = true;
        const RunReport second = run(list, o);
        QCOMPARE(second.alreadyConverted, 3);
        QCOMPARE(second.converted, 2);
        QCOMPARE(list.at(3).outputPath, file(stem + ".webp"));
        QCOMPARE(list.at(4).outputPath, file("d/photo(1).webp"));
        QCOMPARE(head(mine) + head(mineToo) + head(beside), QByteArray("mineminemine"));
    }

    // With keepDate a result is dated when its source was made, otherwise when written; its
    // access time is left as the write made it either way.
    void keepDate() {
        const QString src = writeImage(file("old.png"), "png");
        const QDateTime born = QFileInfo(src).birthTime();
        if (!born.isValid())
            QSKIP("this file system records no creation date");
        QTest::qWait(1100); // results must be clearly younger than their source
        for (const bool keep : {true, false}) {
            RunOptions o = options(ConvertMode::ImageToWebp);
            o.keepDate = keep;
            JobList list;
            list.addPath(src);
            QVERIFY(!run(list, o).failed());
            const QFileInfo result(list.at(0).outputPath);
            QVERIFY(keep ? result.lastModified() == born : result.lastModified() > born.addSecs(1));
            QVERIFY(result.lastRead() > born.addSecs(1));
        }
    }

    // How a job ends when its tool fails: the real tools where they fail so, scripts otherwise
    // (%1 stands for the output folder, %2 for a file taking the pids the script starts, all
    // of which must be gone afterwards). Nothing is left behind; a result with nowhere to go
    // puts its job back to waiting.
    void toolFailures_data() {
        QTest::addColumn<ConvertMode>("mode");
        QTest::addColumn<QString>("script");     // "" = the real tools, "missing" = none at all
        QTest::addColumn<QByteArray>("content"); // null = a valid PNG, "ANIM" = animated WebP
        QTest::addColumn<QString>("errorPart");
        QTest::addColumn<Reason>("reason"); // None: converted
        using R = Reason;
        const auto toWebp = ConvertMode::ImageToWebp;
        const QByteArray png;
        const QString writeOk = "for l; do :; done; echo ok > \"$l\"";
        QTest::newRow("corrupt input")
            << toWebp << "" << QByteArray("\x89PNG garbage") << "cwebp" << R::ToolFailed;
        QTest::newRow("zero-byte input")
            << toWebp << "" << QByteArray("") << "cwebp" << R::ToolFailed;
        for (const auto& [mode, to] :
             {std::pair{ConvertMode::WebpToPng, "png"}, std::pair{ConvertMode::WebpToJpg, "jpg"}})
            QTest::addRow("animated webp to %s", to)
                << mode << "" << QByteArray("ANIM") << "dwebp" << R::AnimatedWebp;
        QTest::newRow("missing tool") << toWebp << "missing" << png << "cwebp" << R::ToolNotStarted;
        QTest::newRow("silent, no output") << toWebp << "exit 0" << png << "cwebp" << R::ToolSilent;
        QTest::newRow("empty output")
            << toWebp << "for l; do :; done; : > \"$l\"" << png << "cwebp" << R::ToolSilent;
        QTest::newRow("says why, exits 1")
            << toWebp << "echo 'Bad input' >&2; exit 1" << png << "Bad input" << R::ToolFailed;
        QTest::newRow("crash, nothing said")
            << toWebp << "kill -SEGV $$" << png << "cwebp" << R::ToolSilent;
        // It and its child ignore the polite request to stop: the grace period ends both. A
        // child that ignores it outlives its tool only until the tool has ended.
        QTest::newRow("hang past the limit, TERM ignored")
            << toWebp << "trap '' TERM; sleep 300 & echo \"$$ $!\" > '%2'; wait" << png << "cwebp"
            << R::ToolTimedOut;
        QTest::newRow("hang past the limit, a child ignores TERM")
            << toWebp << "(trap '' TERM; exec sleep 300) & echo \"$$ $!\" > '%2'; wait" << png
            << "cwebp" << R::ToolTimedOut;
        QTest::newRow("output folder gone meanwhile")
            << toWebp << "rm -r '%1'; " + writeOk << png << "%1" << R::WriteFailed;
        QTest::newRow("stderr flood, then success")
            << toWebp << "head -c 8000000 /dev/zero | tr '\\0' e >&2; " + writeOk << png << ""
            << R::None;
    }
    void toolFailures() {
        QFETCH(ConvertMode, mode);
        QFETCH(QString, script);
        QFETCH(QByteArray, content);
        QFETCH(QString, errorPart);
        QFETCH(Reason, reason);
        const QString src = file(mode == ConvertMode::ImageToWebp ? "in.png" : "in.webp");
        if (content.isNull())
            writeImage(src, "png");
        else if (content == "ANIM")
            QProcess::execute(realToolsDirectory() + u'/' + toolExecutableName("gif2webp"),
                              {"-quiet", writeAnimatedGif(file("a.gif")), "-o", src});
        else
            writeBytes(src, content);
        const QString pids = file("pids");
        script.replace("%1", file("out")).replace("%2", pids);
        RunOptions o = options(mode, script == "missing" ? QString() : script);
        if (script == "missing")
            o.toolsDirectory = file("no-tools-here");
        if (reason == Reason::ToolTimedOut)
            o.toolTimeoutMs = 1000;
        JobList list;
        list.addPath(src);
        const RunReport report = run(list, o);
        const Job& job = list.at(0);
        QCOMPARE(job.reason, reason);
        QCOMPARE(job.state, reason == Reason::None          ? JobState::Converted
                            : reason == Reason::WriteFailed ? JobState::Waiting
                                                            : JobState::Failed);
        const QList<QByteArray> started = head(pids, 100).split(' ');
        QCOMPARE(started.size(), reason == Reason::ToolTimedOut ? 2 : 1);
        for (const QByteArray& pid : started)
            QTRY_VERIFY_WITH_TIMEOUT(!processAlive(pid.trimmed().toLongLong()), 5000);
        QCOMPARE(entries(work_), QStringList{});
        if (reason == Reason::None)
            return;
        QVERIFY2(job.detail.contains(errorPart.replace("%1", file("out"))) &&
                     (reason == Reason::WriteFailed || job.detail.contains(src)),
                 qPrintable(job.detail));
        QCOMPARE(entries(file("out")), QStringList{});
    }

    // Twelve jobs: never more than five tools at once, each given the run's quality.
    void atMostFiveToolsAtOnce() {
        const QString running = file("running"), log = file("log");
        QDir().mkpath(running);
        JobList list;
        addPngs(list, 12);
        BatchRun batch;
        QSignalSpy progress(&batch, &BatchRun::progressChanged);
        const QString script =
            QStringLiteral("touch '%1'/$$; echo \"$(ls '%1' | wc -l) $*\" >> '%2'; sleep 0.4\n"
                           "rm '%1'/$$; for last; do :; done; cp '%3' \"$last\"")
                .arg(running, log, list.at(0).path);
        QCOMPARE(run(list, options(ConvertMode::ImageToWebp, script), &batch).converted, 12);
        const QStringList lines =
            QString::fromUtf8(head(log, 100000)).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 12);
        int most = 0;
        for (const QString& line : lines) {
            most = qMax(most, line.section(' ', 0, 0).toInt());
            QVERIFY2(line.contains(" -q 80 "), qPrintable(line));
        }
        QCOMPARE(most, 5);
        QCOMPARE(progress.last().at(0).value<qsizetype>(), 12);
    }

    // Cancelled, tools that wrote half a result and ignore the polite request to stop are
    // killed after the grace period; their jobs wait again, none failed, and nothing is left.
    void cancelKillsToolsThatIgnoreIt() {
        const QString started = file("started");
        QDir().mkpath(started);
        JobList list;
        addPngs(list, 7);
        BatchRun batch;
        QSignalSpy finished(&batch, &BatchRun::finished);
        QVERIFY(batch.start(&list, options(ConvertMode::ImageToWebp,
                                           QStringLiteral("trap '' TERM; touch '%1'/$$; for l; do "
                                                          ":; done; echo partial > \"$l\"; "
                                                          "sleep 60 & wait")
                                               .arg(started))));
        QTRY_COMPARE_WITH_TIMEOUT(entries(started).size(), 5, 10000);
        batch.cancel();
        QVERIFY(finished.wait(20000));
        const RunReport report = finished.at(0).at(0).value<RunReport>();
        QVERIFY(report.cancelled && !report.failed());
        for (const QString& pid : entries(started))
            QTRY_VERIFY_WITH_TIMEOUT(!processAlive(pid.toLongLong()), 5000);
        for (int i = 0; i < list.count(); ++i)
            QCOMPARE(list.at(i).state, JobState::Waiting);
        QCOMPARE(entries(file("out")) + entries(work_), QStringList{});
        QVERIFY(!list.isLocked());
    }

    // What killed runs left goes: every work file a run makes, by its role, from folders whose
    // lock is stale or missing, and the stale lock of a folder never made. Names the engine
    // does not give stay, and so does the folder holding them. A folder whose lock is held
    // stays, also while the run that took the lock is about to make it or has just made it
    // (for a lock held by another process see twoProcessesShareOneOutputFolder).
    void cleanupOfKilledRuns() {
        const QString dead = work_ + "/tessaro-run-dead01", noLock = work_ + "/tessaro-run-nolock";
        for (const QString& folder : {dead, noLock, work_ + "/tessaro-run-young1"})
            QDir().mkpath(folder);
        // Locks whose owner process no longer exists, as a killed run leaves them.
        const QByteArray staleLock =
            "999999\ntessaro\n" + QSysInfo::machineHostName().toUtf8() + "\n";
        for (const char* lock : {"/tessaro-run-dead01.lock", "/tessaro-run-orphan.lock"})
            writeBytes(work_ + lock, staleLock);
        for (const char* name : {"0.out.webp", "3.copy.png", "4.jpeg.jpg", "5.upright.png",
                                 "6.resized.gif", "7.probe85.webp", "notes.txt", "0-out.webp"})
            writeBytes(dead + u'/' + name, "x");
        writeBytes(noLock + "/1.out.png", "partial");
        writeBytes(work_ + "/notes.txt", "not ours either");
        QLockFile young(work_ + "/tessaro-run-young1.lock"),
            notYetMade(work_ + "/tessaro-run-young2.lock");
        QVERIFY(young.tryLock(0) && notYetMade.tryLock(0));
        JobList empty;
        run(empty, options(ConvertMode::ImageToWebp));
        QCOMPARE(entries(dead), (QStringList{"0-out.webp", "notes.txt"}));
        QCOMPARE(entries(work_),
                 (QStringList{"notes.txt", "tessaro-run-dead01", "tessaro-run-young1",
                              "tessaro-run-young1.lock", "tessaro-run-young2.lock"}));
    }

    // Two processes converting same-named files into one folder at once: every result lands
    // under its own name and none replaces another.
    void twoProcessesShareOneOutputFolder() {
        constexpr int PerProcess = 4;
        const QString mine = writeBytes(file("out/p.webp"), "mine");
        // The real encoder, started once the test says so.
        const QString started = file("started"), tools = file("tools");
        QDir().mkpath(started);
        writeFakeTools(tools, QStringLiteral("touch '%1'/$$; i=0\n"
                                             "while [ ! -e '%1.go' ] && [ $i -lt 400 ]; "
                                             "do sleep 0.05; i=$((i+1)); done\n"
                                             "exec '%2'/\"$(basename \"$0\")\" \"$@\"")
                                  .arg(started, realToolsDirectory()));
        QList<int> widths;
        std::array<QProcess, 2> processes;
        for (int p = 0; p < 2; ++p) {
            QStringList arguments{"--convert", file("out"), work_, tools};
            for (int i = 0; i < PerProcess; ++i) {
                const int width = 20 + p * PerProcess + i; // tells the results apart
                const QString folder = file(QStringLiteral("in%1").arg(width));
                QDir().mkpath(folder);
                arguments << writeImage(folder + "/p.png", "png", {width, 16});
                widths << width;
            }
            processes[p].setProcessChannelMode(QProcess::ForwardedErrorChannel);
            processes[p].start(QCoreApplication::applicationFilePath(), arguments);
        }
        // Every tool of both runs is up: both runs have chosen their names before either
        // publishes, and a cleanup now leaves their folders alone as their owners live.
        QTRY_COMPARE_WITH_TIMEOUT(entries(started).size(), 2 * PerProcess, 20000);
        BatchRun::removeLeftovers(work_);
        QCOMPARE(entries(work_).size(), 4); // two run folders and their locks
        writeBytes(started + ".go", "");
        for (QProcess& process : processes) {
            QVERIFY(process.waitForFinished(120000));
            QCOMPARE(process.exitCode(), 0);
        }
        QCOMPARE(head(mine), QByteArray("mine"));
        QStringList results = entries(file("out"));
        QCOMPARE(results.size(), 2 * PerProcess + 1);
        results.removeOne("p.webp");
        QList<int> decoded;
        for (const QString& name : results)
            decoded << QImage(file("out/" + name)).width();
        std::sort(decoded.begin(), decoded.end());
        QCOMPARE(decoded, widths);
        QCOMPARE(entries(work_), QStringList{});
    }
};

// This test program as a child: --convert <out> <work> <tools> <inputs...> converts the inputs
// to WebP; its exit status is the number of failed jobs.
static int convertMain(const QStringList& arguments) {
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
        for (const RunFailure& failure : report.failedJobs)
            qWarning().noquote() << failure.detail;
        QCoreApplication::quit();
    });
    if (!batch.start(&list, o))
        return 100;
    QCoreApplication::exec();
    return failures;
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc > 1 && argv[1] == QByteArray("--convert"))
        return convertMain(app.arguments());
    BatchRunTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_batchrun.moc"
