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

public:
    // As twoProcessesShareTheirFolders' child: converts the inputs following the output, work
    // and tools folders to WebP; the exit status says whether every one was converted.
    int convertAsChild(const QStringList& a) {
        JobList list;
        for (const QString& input : a.mid(3))
            list.addPath(input);
        const RunReport report = run(list, {.mode = ConvertMode::ImageToWebp,
                                            .outputDirectory = a.value(0),
                                            .toolsDirectory = a.value(2),
                                            .workDirectory = a.value(1),
                                            .aim = {}});
        for (const RunFailure& failure : report.failedJobs)
            qWarning().noquote() << failure.detail;
        return report.converted == list.count() ? 0 : 1;
    }

private Q_SLOTS:
    void init() {
        tmp_ = std::make_unique<QTemporaryDir>();
        work_ = file("work");
        QDir().mkpath(file("out"));
    }

    // One job: through every mode, with short names and with the longest that fit (the source
    // or the result name is 255 bytes), and each way its tool can fail: the real tools where
    // they fail so, scripts otherwise (%1 stands for the output folder, %2 for a file taking the
    // pids the script starts, all of which must be gone afterwards). A result gets the mode a
    // new file gets under the umask; only the result is left: no temporary, copy or run folder.
    // A failed job leaves nothing; a result with nowhere to go puts its job back to waiting.
    void oneJob_data() {
        QTest::addColumn<ConvertMode>("mode");
        QTest::addColumn<QString>("source");     // written by its extension unless content says
        QTest::addColumn<QByteArray>("content"); // null: a real image, "ANIM": animated WebP
        QTest::addColumn<QString>("script");     // "" = the real tools, "missing" = none at all
        QTest::addColumn<int>("umask");
        // The result's modification time: "kept" (its source's creation, with keepDate),
        // "written" or "" (not checked). Its access time stays as the write made it.
        QTest::addColumn<QString>("date");
        QTest::addColumn<Reason>("reason");    // None: converted
        QTest::addColumn<QString>("expected"); // the result's name, or a part of the failure
        using R = Reason;
        const struct {
            ConvertMode mode;
            const char *in, *out;
            int umask;
            const char* date;
        } modes[] = {{ConvertMode::ImageToWebp, "png", "webp", 022, "kept"},
                     {ConvertMode::ImageToWebp, "jpg", "webp", 077, "written"},
                     {ConvertMode::WebpToPng, "webp", "png", 002, ""},
                     {ConvertMode::WebpToJpg, "webp", "jpg", 002, ""},
                     {ConvertMode::GifToWebp, "gif", "webp", 002, ""}};
        for (const auto& m : modes) {
            const QString in = QString(".") + m.in, out = QString(".") + m.out;
            QTest::addRow("%s to %s", m.in, m.out) << m.mode << "a.b" + in << QByteArray() << ""
                                                   << m.umask << m.date << R::None << "a.b" + out;
            const QString stem = stemOfBytes(254 - int(qMax(qstrlen(m.in), qstrlen(m.out))));
            QTest::addRow("%s to %s, longest names", m.in, m.out)
                << m.mode << stem + in << QByteArray() << "" << 022 << "" << R::None << stem + out;
        }
        const auto fails = [](const char* tag, const QByteArray& content, const QString& script,
                              Reason reason, const QString& expected,
                              ConvertMode mode = ConvertMode::ImageToWebp) {
            QTest::newRow(tag) << mode << (mode == ConvertMode::ImageToWebp ? "in.png" : "in.webp")
                               << content << script << 022 << "" << reason << expected;
        };
        const QByteArray png;
        const QString writeOk = "for l; do :; done; echo ok > \"$l\"";
        fails("corrupt input", "\x89PNG garbage", "", R::ToolFailed, "cwebp");
        fails("zero-byte input", "", "", R::ToolFailed, "cwebp");
        fails("animated webp to png", "ANIM", "", R::AnimatedWebp, "dwebp", ConvertMode::WebpToPng);
        fails("animated webp to jpg", "ANIM", "", R::AnimatedWebp, "dwebp", ConvertMode::WebpToJpg);
        fails("missing tool", png, "missing", R::ToolNotStarted, "cwebp");
        fails("silent, no output", png, "exit 0", R::ToolSilent, "cwebp");
        fails("empty output", png, "for l; do :; done; : > \"$l\"", R::ToolSilent, "cwebp");
        fails("says why, exits 1", png, "echo 'Bad input' >&2; exit 1", R::ToolFailed, "Bad input");
        fails("crash, nothing said", png, "kill -SEGV $$", R::ToolSilent, "cwebp");
        // It and its child ignore the polite request to stop: the grace period ends both. A
        // child that ignores it outlives its tool only until the tool has ended.
        fails("hang past the limit, TERM ignored", png,
              "trap '' TERM; sleep 300 & echo \"$$ $!\" > '%2'; wait", R::ToolTimedOut, "cwebp");
        fails("hang past the limit, a child ignores TERM", png,
              "(trap '' TERM; exec sleep 300) & echo \"$$ $!\" > '%2'; wait", R::ToolTimedOut,
              "cwebp");
        fails("output folder gone meanwhile", png, "rm -r '%1'; " + writeOk, R::WriteFailed, "%1");
        fails("stderr flood, then success", png,
              "head -c 8000000 /dev/zero | tr '\\0' e >&2; " + writeOk, R::None, "in.webp");
    }
    void oneJob() {
        QFETCH(ConvertMode, mode);
        QFETCH(QString, source);
        QFETCH(QByteArray, content);
        QFETCH(QString, script);
        QFETCH(int, umask);
        QFETCH(QString, date);
        QFETCH(Reason, reason);
        QFETCH(QString, expected);
        const UmaskScope scopedUmask(umask);
        const QString src = file(source), in = QFileInfo(src).suffix();
        if (content == "ANIM")
            QProcess::execute(realToolsDirectory() + u'/' + toolExecutableName("gif2webp"),
                              {"-quiet", writeAnimatedGif(file("a.gif")), "-o", src});
        else if (!content.isNull())
            writeBytes(src, content);
        else if (in == "webp") // written under a short name: the helper adds a suffix
            QVERIFY(QFile::rename(writeWebp(file("w.webp")), src));
        else if (in == "gif")
            writeAnimatedGif(src);
        else
            writeImage(src, in == "png" ? "png" : "jpeg");
        const QDateTime born = QFileInfo(src).birthTime();
        if (!date.isEmpty() && !born.isValid())
            QSKIP("this file system records no creation date");
        QTest::qWait(date.isEmpty() ? 0 : 1100); // a written result: clearly younger
        const QString pids = file("pids");
        script.replace("%1", file("out")).replace("%2", pids);
        RunOptions o = options(mode, script == "missing" ? QString() : script);
        if (script == "missing")
            o.toolsDirectory = file("no-tools-here");
        if (reason == Reason::ToolTimedOut)
            o.toolTimeoutMs = 1000;
        o.keepDate = date == "kept";
        JobList list;
        QVERIFY(list.addPath(src));
        QCOMPARE(run(list, o).failed(), reason != Reason::None);
        const Job& job = list.at(0);
        QVERIFY2(job.reason == reason, qPrintable(job.detail));
        QCOMPARE(job.state, reason == Reason::None          ? JobState::Converted
                            : reason == Reason::WriteFailed ? JobState::Waiting
                                                            : JobState::Failed);
        const QList<QByteArray> started = head(pids, 100).split(' ');
        QCOMPARE(started.size(), reason == Reason::ToolTimedOut ? 2 : 1);
        for (const QByteArray& pid : started)
            QTRY_VERIFY_WITH_TIMEOUT(!processAlive(pid.trimmed().toLongLong()), 5000);
        QCOMPARE(entries(work_), QStringList{});
        if (reason != Reason::None) {
            QVERIFY2(job.detail.contains(expected.replace("%1", file("out"))) &&
                         (reason == Reason::WriteFailed || job.detail.contains(src)),
                     qPrintable(job.detail));
            QCOMPARE(entries(file("out")), QStringList{});
            return;
        }
        QCOMPARE(job.outputPath, file("out/" + expected));
        const QFileInfo result(job.outputPath); // its dates before a read may move them
        QVERIFY(date.isEmpty() || (date == "kept" ? result.lastModified() == born
                                                  : result.lastModified() > born.addSecs(1)));
        QVERIFY(date.isEmpty() || result.lastRead() > born.addSecs(1));
        QCOMPARE(permissionBits(job.outputPath), 0666 & ~umask);
        QCOMPARE(entries(file("out")), QStringList{expected});
        QVERIFY(!script.isEmpty() || !QImage(job.outputPath).isNull()); // its format: CliTest
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

    // Twelve jobs: never more than five tools at once, five when there is work for them, each
    // given the run's quality (a tool fails otherwise), a freed slot taking the next job. The
    // last two write half a result and hang, ignoring the polite request to stop: cancelled,
    // they are killed after the grace period, their jobs wait again, none failed, and nothing
    // of theirs is left.
    void fiveToolsAtOnceThenCancel() {
        const QString running = file("running");
        QDir().mkpath(running);
        JobList list;
        for (int i = 0; i < 12; ++i)
            list.addPath(writeImage(file(QStringLiteral("p%1.png").arg(i)), "png"));
        BatchRun batch;
        QSignalSpy finished(&batch, &BatchRun::finished),
            progress(&batch, &BatchRun::progressChanged);
        const QString script =
            QStringLiteral("touch '%1'/$$; [ $(ls '%1' | wc -l) -le 5 ] || exit 1\n"
                           "case \" $* \" in *' -q 80 '*) ;; *) exit 1;; esac\n"
                           "for last; do :; done; case \"$*\" in *p1[01].png*)\n"
                           "trap '' TERM; echo partial > \"$last\"; sleep 60 & wait;; esac\n"
                           "sleep 0.4; rm '%1'/$$; cp '%2' \"$last\"")
                .arg(running, list.at(0).path);
        QVERIFY(batch.start(&list, options(ConvertMode::ImageToWebp, script)));
        QTRY_COMPARE_WITH_TIMEOUT(entries(running).size(), 5, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(progress.last().at(0).value<qsizetype>(), 10, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(entries(running).size(), 2, 10000);
        const QStringList hanging = entries(running);
        batch.cancel();
        QVERIFY(finished.wait(20000));
        const RunReport report = finished.at(0).at(0).value<RunReport>();
        QVERIFY(report.cancelled && !report.failed() && report.converted == 10);
        for (const QString& pid : hanging)
            QTRY_VERIFY_WITH_TIMEOUT(!processAlive(pid.toLongLong()), 5000);
        for (int i = 0; i < list.count(); ++i)
            QCOMPARE(list.at(i).state, i < 10 ? JobState::Converted : JobState::Waiting);
        QCOMPARE(entries(file("out")).size() + entries(work_).size(), 10);
        QVERIFY(!list.isLocked());
    }

    // Two processes convert same-named files into one folder at once: every result lands under
    // its own name and none replaces another. What killed runs left in the work folder goes as
    // runs start: every work file a run makes, by its role, from folders whose lock is stale or
    // missing, and the stale lock of a folder never made. Names the engine does not give stay,
    // and so does the folder holding them; a folder whose lock is held stays, also while the
    // run that took the lock is about to make it, and while the run converts.
    void twoProcessesShareTheirFolders() {
        constexpr int PerProcess = 4;
        const QString dead = work_ + "/tessaro-run-dead01", noLock = work_ + "/tessaro-run-nolock";
        QVERIFY(QDir().mkpath(dead) && QDir().mkpath(noLock));
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
        QLockFile notYetMade(work_ + "/tessaro-run-young.lock");
        QVERIFY(notYetMade.tryLock(0));
        const QStringList leftovers{"notes.txt", "tessaro-run-dead01", "tessaro-run-young.lock"};
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
        QCOMPARE(entries(dead), (QStringList{"0-out.webp", "notes.txt"}));
        BatchRun::removeLeftovers(work_);
        QCOMPARE(entries(work_).size(), leftovers.size() + 4); // the runs' folders and locks
        writeBytes(started + ".go", "");
        for (QProcess& process : processes) {
            QVERIFY(process.waitForFinished(120000));
            QCOMPARE(process.exitCode(), 0);
        }
        QCOMPARE(head(mine), QByteArray("mine"));
        QList<int> decoded; // mine decodes to nothing: width 0
        for (const QString& name : entries(file("out")))
            decoded << QImage(file("out/" + name)).width();
        std::sort(decoded.begin(), decoded.end());
        QCOMPARE(decoded, QList<int>{0} + widths);
        QCOMPARE(entries(work_), leftovers);
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    BatchRunTest test;
    if (argc > 1 && argv[1] == QByteArray("--convert"))
        return test.convertAsChild(app.arguments().mid(2));
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_batchrun.moc"
