#include "TestFiles.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace TestFiles;

// tessaro-convert --watch as a process over real folders. Each input's fate is read from its
// --json-lines object: "input=result" (paths relative to the test's folder), "input=failed",
// or the last word of the reason it was skipped for ("input=exists").
class WatchTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int runs_ = 0;
    QString base_, in_;
    std::unique_ptr<QProcess> watch_;
    QByteArray stdout_, stderr_;        // read, not yet parsed / read so far
    QStringList shown_;                 // the outcomes so far, markers left out
    int markers_ = 0, markersSeen_ = 0; // written, reported

    const QByteArray& errors() { return stderr_ += watch_->readAllStandardError(); }
    // Whether it says it is watching.
    bool start(const QString& arguments) {
        watch_ = std::make_unique<QProcess>();
        watch_->setWorkingDirectory(base_);
        watch_->start(TESSARO_CONVERT_BINARY,
                      ("--watch --json-lines -j 1 --to webp " + arguments).split(' '));
        stdout_.clear(), stderr_.clear(), shown_.clear(), markers_ = markersSeen_ = 0;
        return QTest::qWaitFor([this] { return errors().contains("watching"); }, 20000);
    }
    // The exit status after SIGTERM; -1 for a crash or a hang.
    int stop() {
        watch_->terminate();
        const bool exited = watch_->waitForFinished(30000) && watch_->exitStatus() == 0;
        return exited ? watch_->exitCode() : -1;
    }
    QStringList outcomes() {
        stdout_ += watch_->readAllStandardOutput();
        const QDir base(base_);
        for (qsizetype end; (end = stdout_.indexOf('\n')) >= 0; stdout_.remove(0, end + 1)) {
            const QJsonObject input = QJsonDocument::fromJson(stdout_.left(end)).object();
            const QString path = base.relativeFilePath(input["path"].toString());
            const QString state = input["state"].toString();
            if (path.contains('~'))
                ++markersSeen_;
            else if (!input.contains("totals"))
                shown_ << path + '=' +
                              (state == "converted"
                                   ? base.relativeFilePath(input["output"].toString())
                               : state == "skipped" ? input["reason"].toString().section(' ', -1)
                                                    : state);
        }
        shown_.sort();
        return shown_;
    }

private Q_SLOTS:
    void init() {
        base_ = dir_.filePath(QString::number(++runs_));
        in_ = base_ + "/in";
        QVERIFY(QDir().mkpath(in_) && QDir().mkpath(base_ + "/data"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(base_ + "/data"));
        qunsetenv("TESSARO_TOOLS_DIR");
    }
    void cleanup() { watch_.reset(); } // killed if it still runs

    // Steps: watch ARGUMENTS (in the test's folder) | stop (SIGTERM: status 0) | png|junk P
    // (written whole) | open P (half written, kept open) | finish P | move P (made outside,
    // renamed in) | mkdir P | rm P | expect OUTCOME… (all so far, still so once a later
    // arrival has been converted) | rmroot, mvroot (the watched "in" goes: status 2).
    void arrivals_data() {
        QTest::addColumn<QStringList>("steps");
        const auto row = [](const char* name, const QString& steps) {
            QTest::newRow(name) << steps.split(',');
        };
        row("slow writer, once complete", "watch in -o out,open in/a.png,expect,"
                                          "finish in/a.png,expect in/a.png=out/a.webp");
        row("moved in", "watch in -o out,move in/m.jpg,expect in/m.jpg=out/m.webp");
        QString burst = "watch in -o out", expected = ",expect";
        for (int i = 100; i < 300; ++i) // three digits each: in order as listed
            burst += QString(",png in/b%1.png").arg(i),
                expected += QString(" in/b%1.png=out/b%1.webp").arg(i);
        row("burst of 200", burst + expected);
        row("new subfolder, mirrored", "watch -r in -o out,mkdir in/s/t,png in/s/t/x.png,"
                                       "png in/y.png,expect in/s/t/x.png=out/s/t/x.webp "
                                       "in/y.png=out/y.webp");
        row("output folder inside", "watch -r in -o in/out,png in/out/mine.png,png in/a.png,"
                                    "expect in/a.png=in/out/a.webp");
        row("broken file, reported once",
            "watch in -o out,junk in/bad.png,expect in/bad.png=failed");
        row("next to the sources", "watch -r --next-to-source in,mkdir in/s,png in/s/a.png,"
                                   "expect in/s/a.png=in/s/a.webp");
        row("restart converts what is missing",
            "png in/a.png,png in/b.png,watch in -o out,expect in/a.png=out/a.webp "
            "in/b.png=out/b.webp,stop,rm out/b.webp,png in/c.png,watch in -o out,"
            "expect in/a.png=exists in/b.png=out/b.webp in/c.png=out/c.webp");
        row("folder removed", "watch in -o out,rmroot");
        row("folder moved away", "watch in -o out,mvroot");
    }

    void arrivals() {
        QFETCH(QStringList, steps);
        QFile half; // being written
        const QByteArray png = head(writeImage(base_ + "/seed.png", "png"), 1 << 16);
        for (const QString& step : steps) {
            const QString verb = step.section(' ', 0, 0), path = base_ + '/' + step.section(' ', 1);
            if (verb == "watch") {
                QVERIFY2(start(step.section(' ', 1)), stderr_.constData());
            } else if (verb == "stop") {
                QCOMPARE(stop(), 0);
            } else if (verb == "png" || verb == "junk") {
                writeBytes(path, verb == "png" ? png : "junk");
            } else if (verb == "open") {
                half.setFileName(path);
                QVERIFY(half.open(QIODevice::WriteOnly) && half.write(png.left(png.size() / 2)) &&
                        half.flush());
            } else if (verb == "finish") {
                QVERIFY(half.write(png.mid(png.size() / 2)) > 0);
                half.close();
            } else if (verb == "move") {
                QVERIFY(QFile::rename(writeImage(base_ + "/made.jpg", "jpeg"), path));
            } else if (verb == "mkdir" || verb == "rm") {
                QVERIFY(verb == "rm" ? QFile::remove(path) : QDir().mkpath(path));
            } else if (verb == "expect") {
                const QStringList expected = step.split(' ', Qt::SkipEmptyParts).mid(1);
                QTRY_COMPARE_WITH_TIMEOUT(outcomes(), expected, 30000);
                writeImage(in_ + QString("/~%1.png").arg(++markers_), "png");
                QTRY_VERIFY_WITH_TIMEOUT((outcomes(), markersSeen_ == markers_), 30000);
                QCOMPARE(outcomes(), expected);
            } else {
                QVERIFY(verb == "rmroot" ? QDir(in_).removeRecursively()
                                         : QDir().rename(in_, base_ + "/gone"));
                QVERIFY(watch_->waitForFinished(30000));
                QCOMPARE(watch_->exitCode(), 2);
                QVERIFY2(errors().contains((in_ + " is gone").toUtf8()), stderr_.constData());
            }
        }
        if (watch_->state() != QProcess::NotRunning)
            QCOMPARE(stop(), 0);
    }

    // A stand-in tool writes part of its output, notes its process, then hangs.
    void stopLeavesNothingPartial() {
        writeFakeTools(base_ + "/tools",
                       "for last; do :; done\nprintf partial > \"$last\"\n"
                       "echo $$ > \"$(dirname \"$0\")/started\"\nsleep 60 & wait");
        qputenv("TESSARO_TOOLS_DIR", QFile::encodeName(base_ + "/tools"));
        QVERIFY2(start("in -o out"), stderr_.constData());
        writeImage(in_ + "/a.png", "png");
        QTRY_VERIFY_WITH_TIMEOUT(head(base_ + "/tools/started").endsWith('\n'), 20000);
        QCOMPARE(stop(), 0);
        QCOMPARE(outcomes(), QStringList{"in/a.png=cancelled"});
        QTRY_VERIFY_WITH_TIMEOUT(
            !processAlive(head(base_ + "/tools/started").trimmed().toLongLong()), 5000);
        QCOMPARE(entries(base_ + "/out") +
                     entries(base_ + "/data/tessaro/tessaro-convert/Documents"),
                 QStringList{});
    }
};

QTEST_GUILESS_MAIN(WatchTest)
#include "tst_watch.moc"
