#include "ImageMeasures.h"
#include "ProgressLine.h"
#include "TaggedImages.h"
#include "TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/inotify.h>
#include <unistd.h>

using namespace TestFiles;

namespace {

// Files below folder, hidden ones too, relative to it and sorted.
QStringList filesBelow(const QString& folder) {
    QStringList names;
    const auto filter = QDir::Files | QDir::Hidden | QDir::System;
    for (QDirIterator it(folder, filter, QDirIterator::Subdirectories); it.hasNext();)
        names << QDir(folder).relativeFilePath(it.next());
    names.sort();
    return names;
}

} // namespace

class CliTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    int runs_ = 0;
    QString base_, in_, out_, stdout_, stderr_;

    // The exit status, -1 for a crash or a hang; the output lands in stdout_ and stderr_. It
    // runs in base_, so relative paths are the test's own.
    int run(const QStringList& arguments, const QString& program = TESSARO_CONVERT_BINARY) {
        QProcess process;
        process.setWorkingDirectory(base_);
        process.start(program, arguments);
        const bool exited = process.waitForFinished(120000) && process.exitStatus() == 0;
        stdout_ = QString::fromUtf8(process.readAllStandardOutput());
        stderr_ = QString::fromUtf8(process.readAllStandardError());
        return exited ? process.exitCode() : -1;
    }
    // The arguments as a shell reads them: raw bytes can be given as $(printf '\351').
    int run(const QString& arguments) {
        return run({"-c", "exec \"$0\" " + arguments, TESSARO_CONVERT_BINARY}, "/bin/sh");
    }

    // Inputs under base_, as name=kind separated by spaces; kind is png (the default), jpeg,
    // webp, big (a 2000x1000 WebP), gif, photo (a photo-like picture), alpha (a PNG whose
    // transparent pixels hide colours), tagged (a profile and metadata; the format by the name),
    // bigxmp (metadata a JPEG cannot hold), or else the file's text.
    QStringList make(const QString& inputs) {
        QStringList paths;
        for (const QString& input : inputs.split(' ')) {
            const QString path = QDir::cleanPath(base_ + '/' + input.section('=', 0, 0));
            const QString kind = input.contains('=') ? input.section('=', 1) : "png";
            QDir().mkpath(QFileInfo(path).path());
            if (kind == "png" || kind == "jpeg") {
                writeImage(path, qPrintable(kind));
            } else if (kind == "webp") {
                writeWebp(path);
            } else if (kind == "gif") {
                writeAnimatedGif(path);
            } else if (kind == "tagged") {
                TaggedImages::write(path, path.endsWith("jpg") ? "jpeg" : "webp", {});
            } else if (kind == "bigxmp") {
                TaggedImages::writeWebpWithOversizedXmp(path);
            } else if (kind == "big") {
                writeImage(path, "webp", {2000, 1000});
            } else if (kind == "photo") { // in the format its name says
                QImage(writePhoto(path + ".png", {160, 120})).save(path, nullptr, 100);
            } else if (kind == "alpha") { // every other column transparent
                QImage image =
                    QImage(writeImage(path, "png")).convertToFormat(QImage::Format_ARGB32);
                for (int x = 0; x < image.width(); x += 2)
                    for (int y = 0; y < image.height(); ++y)
                        image.setPixel(x, y, image.pixel(x, y) & 0xffffff);
                image.save(path);
            } else {
                writeBytes(path, kind.toUtf8());
            }
            paths << path;
        }
        return paths;
    }

    // Stand-in tools for every later run of this test function.
    void useFakeTools(const QString& script) {
        writeFakeTools(base_ + "/tools", script);
        qputenv("TESSARO_TOOLS_DIR", QFile::encodeName(base_ + "/tools"));
    }
    QJsonObject json() const { return QJsonDocument::fromJson(stdout_.toUtf8()).object(); }
    // The inputs the report on stdout tells of, from --json or from --json-lines.
    QJsonArray reported() const {
        QJsonArray inputs = json()["inputs"].toArray();
        for (const QString& line : stdout_.split('\n', Qt::SkipEmptyParts))
            if (const QJsonObject input = QJsonDocument::fromJson(line.toUtf8()).object();
                input.contains("path"))
                inputs.append(input);
        return inputs;
    }
    QJsonObject firstInput() const { return reported().at(0).toObject(); }

private Q_SLOTS:
    void init() {
        base_ = dir_.filePath(QString::number(++runs_));
        in_ = base_ + "/in";
        out_ = base_ + "/out";
        QVERIFY(dir_.isValid() && QDir().mkpath(base_ + "/config/tessaro"));
        // Inherited by what runs: work folders, presets, GNU parallel's state, the real tools.
        qputenv("HOME", QFile::encodeName(base_));
        qputenv("XDG_DATA_HOME", QFile::encodeName(base_ + "/data"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(base_ + "/config"));
        qunsetenv("TESSARO_TOOLS_DIR");
    }

    // GIF and PNG/JPEG sources in one WebP run, from a folder (one level) and loose paths. Output
    // goes to a pipe: plain lines, one per skipped input on stderr, the failures in the summary.
    // Every name that shows up in the output folder, even for a moment, is a result: a kill
    // at any moment must find nothing hidden or half-made there.
    void mixedRunToWebp() {
        make("in/still.png in/sub/inner.png in/anim.gif=gif in/photo.JPG=jpeg in/cam.png=jpeg "
             "in/n.txt=x loose.GIF=gif bad.png=no already.webp=webp notes.txt=x");
        QVERIFY(QDir().mkpath(out_));
        const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        const auto closeWatch = qScopeGuard([watch] { ::close(watch); });
        QVERIFY(watch >= 0 && ::inotify_add_watch(watch, QFile::encodeName(out_).constData(),
                                                  IN_CREATE | IN_MOVED_TO) >= 0);
        QCOMPARE(run("-t webp -o out in loose.GIF bad.png already.webp notes.txt missing.png"), 1);
        const QStringList results{"anim.webp", "cam.webp", "loose.webp", "photo.webp",
                                  "still.webp"};
        QCOMPARE(QDir(out_).entryList(QDir::Files, QDir::Name), results);
        alignas(inotify_event) char events[16384]; // room for every event of this run
        const ssize_t size = ::read(watch, events, sizeof events);
        QStringList seen;
        for (const auto* event = reinterpret_cast<const inotify_event*>(events);
             reinterpret_cast<const char*>(event) < events + size;
             event = reinterpret_cast<const inotify_event*>(event->name + event->len))
            seen << QFile::decodeName(event->name);
        seen.sort();
        QCOMPARE(seen, results);
        QVERIFY(isAnimatedWebp(out_ + "/anim.webp") && isAnimatedWebp(out_ + "/loose.webp"));
        for (const char* still : {"/still.webp", "/photo.webp", "/cam.webp"})
            QCOMPARE(QImageReader(out_ + still).size(), QSize(48, 32));
        const QStringList lines = stderr_.split('\n', Qt::SkipEmptyParts);
        QVERIFY2(lines.size() == 3 && lines[0].contains(base_ + "/already.webp") &&
                     lines[0].contains("\"webp\"") && lines[1].contains(base_ + "/notes.txt") &&
                     lines[2].contains(base_ + "/missing.png"),
                 qPrintable(stderr_));
        QVERIFY(stdout_.contains("Converted 5, failed 1, skipped 3"));
    }

    // What the options ask of a result, each row checked by readers of its own: the decoded
    // result's size and pixels, the file's bytes, its profile and tags, the measures worked
    // out again here; and the JSON saying the same. A warning is in the text report too. A
    // preset stands for the flags of what it holds, where it is given: a flag after it
    // overrides it, one before it is overridden; what --list-presets prints converts the same.
    void resultsFollowTheOptions_data() {
        QTest::addColumn<QString>("source"); // name=kind as make() takes it, under in/
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("warning"); // a part of it; "" for none
        auto row = [](const char* tag, const char* source, const char* options, const char* check,
                      const char* warning = "") {
            QTest::newRow(tag) << source << options << check << warning;
        };
        row("side, png to webp", "a.png", "--to webp --max-side 24", "24x16");
        row("side, webp to png", "a.webp=webp", "--to png --max-side 24", "24x16");
        row("side, webp to jpg", "a.webp=webp", "--to jpg --max-side 24", "24x16");
        row("side, animation", "a.gif=gif", "--to webp --max-side 1", "1x1 animated");
        row("size, webp", "n.png=photo", "--to webp --target-size 12k", "size 12000");
        row("size, jpg", "n.webp=photo", "--to jpg --target-size 12k", "size 12000");
        row("size out of reach", "n.png=photo", "--to webp --target-size 200", "at quality 0",
            "could not reach 200 B (got ");
        row("fidelity", "n.png=photo", "--to webp --target-ssim 0.9", "ssim 0.9");
        row("fidelity, animation", "a.gif=gif", "--to webp --target-ssim 0.9", "at quality 90",
            "converted at quality 90");
        row("lossless with alpha", "t.png=alpha", "--to webp --lossless --measure", "exact");
        row("min saving", "a.png", "--to webp --min-saving 99", "not smaller");
        row("jpg quality", "q.webp=webp", "--to jpg -q 5", "below -q 95");
        row("profile by default", "t.jpg=tagged", "--to webp", "carries profile");
        row("profile stripped", "t.webp=tagged", "--to jpg --strip-profile", "carries nothing");
        row("metadata", "t.webp=tagged", "--to jpg --keep-metadata", "carries profile metadata");
        row("metadata too big to carry", "x.webp=bigxmp", "--to jpg --keep-metadata",
            "carries nothing", "metadata");
        row("preset", "b.webp=big", "--preset Share", "1600x800 at quality 85");
        row("-q after it", "b.webp=big", "--preset Share -q 50", "1600x800 at quality 50");
        row("-q before it", "b.webp=big", "-q 50 --preset Share", "1600x800 at quality 85");
        row("side after it", "b.webp=big", "--preset Share --max-side 100", "100x50 at quality 85");
        row("hand-written", "b.webp=big", "--preset Mine -t jpg", "2000x1000 at quality 30");
    }

    void resultsFollowTheOptions() {
        QFETCH(QString, source);
        QFETCH(QString, options);
        QFETCH(QString, check);
        QFETCH(QString, warning);
        const QString path = make("in/" + source).first(), name = "in/" + source.section('=', 0, 0);
        if (options.contains("Mine"))
            make("config/tessaro/presets.conf=[Mine]\nquality=30");
        QCOMPARE(run("--json -o out " + options + ' ' + name), 0);
        const QJsonObject input = firstInput();
        const QString result = input["output"].toString();
        QCOMPARE(input["state"].toString(),
                 QString(check == "not smaller" ? "notSmaller" : "converted"));
        QVERIFY(result.isEmpty() || (result.endsWith(".png")   ? isPng
                                     : result.endsWith(".jpg") ? isJpeg
                                                               : isWebp)(result));
        const QString told = input["warning"].toString();
        QVERIFY2(told.isEmpty() == warning.isEmpty() && told.contains(warning), qPrintable(told));
        if (check.contains("at quality"))
            QCOMPARE(input["quality"].toInt(), check.section(' ', -1).toInt());
        const QImageReader reader(result);
        if (check.front().isDigit()) {
            QCOMPARE(QString("%1x%2").arg(reader.size().width()).arg(reader.size().height()),
                     check.section(' ', 0, 0));
            QCOMPARE(input["width"].toInt(), reader.size().width());
            QCOMPARE(check.endsWith("animated"), reader.imageCount() == 2);
        } else if (check.startsWith("size")) {
            const qint64 goal = check.section(' ', 1).toLongLong(),
                         bytes = QFileInfo(result).size();
            QVERIFY2(bytes <= goal && bytes >= goal / 2, qPrintable(QString::number(bytes)));
            QVERIFY(input["quality"].toInt() > 0);
        } else if (check.startsWith("ssim")) {
            const double ssim = ImageMeasures::ssim(QImage(path), QImage(result));
            QVERIFY(ssim >= check.section(' ', 1).toDouble());
            QCOMPARE(input["ssim"].toDouble(), qRound(ssim * 10000) / 10000.0);
        } else if (check == "exact") {
            QCOMPARE(QImage(result).convertToFormat(QImage::Format_ARGB32),
                     QImage(path).convertToFormat(QImage::Format_ARGB32));
            QCOMPARE(input["psnr"].toDouble(), 99.0);
        } else if (check == "not smaller") {
            QVERIFY(input["reason"].toString().endsWith("the source is kept as it is"));
            QCOMPARE(json()["totals"].toObject()["notSmaller"].toInt(), 1);
            QVERIFY(!QFileInfo::exists(out_) || QDir(out_).isEmpty());
        } else if (check.startsWith("below")) {
            QCOMPARE(run("--to jpg -q 95 -o high " + name), 0);
            const qint64 low = QFileInfo(result).size(),
                         high = QFileInfo(base_ + "/high/q.jpg").size();
            QVERIFY2(low * 2 < high, qPrintable(QString("%1 vs %2").arg(low).arg(high)));
        } else if (check.startsWith("carries")) {
            const bool profile = check.contains("profile"), metadata = check.contains("metadata");
            QCOMPARE(input["profile"].toBool() + 2 * input["metadata"].toBool(),
                     profile + 2 * metadata);
            QCOMPARE(TaggedImages::profileOf(result),
                     profile ? TaggedImages::wideGamutProfile() : QByteArray());
            QCOMPARE(TaggedImages::tagValue(result, "Exif.Image.Model"),
                     metadata ? TaggedImages::CameraModel : QString());
        }
        if (options.contains("--preset")) {
            QCOMPARE(run("--list-presets"), 0);
            writeBytes(base_ + "/config/tessaro/presets.conf", stdout_.toUtf8());
            QCOMPARE(run("--json -o again " + options + ' ' + name), 0);
            QCOMPARE(firstInput()["quality"].toInt(), input["quality"].toInt());
            QCOMPARE(firstInput()["width"].toInt(), input["width"].toInt());
        }
        if (!warning.isEmpty()) {
            QCOMPARE(run(options + " -o text " + name), 0);
            QVERIFY2(stdout_.contains("Warning: " + path + ": " + told), qPrintable(stdout_));
        }
    }

    // Status 2: the reason first, then the usage when the arguments are at fault, and nothing
    // made. IN: a PNG, TXT: a text file, DIR: the folder holding both; the presets file has a
    // mistake on its third line.
    void exitTwo_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("usage");
        auto row = [](const char* arguments, const char* message, bool usage = true) {
            QTest::newRow(arguments) << arguments << message << usage;
        };
        row("-q 101 --to webp IN", "101");
        row("-q 7.5 -t webp IN", "7.5");
        row("-j 0 --to webp IN", "--jobs");
        row("-j 1000 -t webp IN", "1000");
        row("--to gif IN", "gif");
        row("--frob -t webp IN", "frob");
        row("IN", "--to");
        row("IN --to", "to");
        row("--to webp", "PATH");
        row("-t webp TXT", "nothing to convert", false);
        row("-t jpg DIR", "nothing to convert", false);
        row("-t webp -o TXT/o IN", "in/notes.txt/o", false);
        row("--to png --target-size 50k IN", "PNG results are lossless");
        row("--to webp -q 80 --target-ssim 0.9 IN", "--target-ssim");
        row("--to webp --target-ssim 1.5 IN", "1.5");
        row("--to webp --lossless --target-size 10k IN", "--lossless");
        row("--to webp --max-side 0 IN", "--max-side");
        row("--to webp --min-saving 100 IN", "--min-saving");
        row("--next-to-source -t webp IN", "--next-to-source");
        row("--watch --json -t webp DIR", "--json-lines");
        row("--watch -t webp IN", "cannot watch", false);
        row("--preset Mine -t jpg IN", "presets.conf, line 3: ");
        row("--list-presets", "presets.conf, line 3: ", false);
        row("-t webp -o $(printf 'out\\351') IN", "not valid UTF-8");
    }

    void exitTwo() {
        QFETCH(QString, arguments);
        QFETCH(QString, message);
        QFETCH(bool, usage);
        make("in/photo.png in/notes.txt=text "
             "config/tessaro/presets.conf=[Mine]\nquality=30\nlossless=1");
        arguments.replace("IN", "in/photo.png").replace("TXT", "in/notes.txt").replace("DIR", "in");
        QCOMPARE(run(arguments.contains("-o ") ? arguments : arguments + " -o out"), 2);
        const QString line =
            usage ? stderr_.section('\n', 0, 0) : stderr_.trimmed().section('\n', -1);
        QVERIFY2(line.startsWith("tessaro-convert: ") && line.contains(message), qPrintable(line));
        if (usage) { // and no output folder, under any name
            QVERIFY(stdout_.isEmpty() &&
                    stderr_.section('\n', 1, 1).startsWith("Usage: tessaro-convert"));
            QCOMPARE(QDir(base_).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                     (QStringList{"config", "in"}));
        }
        QCOMPARE(filesBelow(out_), QStringList{});
    }

    // Each input as name=kind, then its expected state. An a.webp of the user's is in the
    // output folder already and must survive.
    void jsonMatchesTheFilesOnDisk_data() {
        QTest::addColumn<QString>("inputs");
        QTest::addColumn<QString>("states");
        QTest::newRow("mixed") << "in/a.png in/b.jpg=jpeg in/broken.png=junk in/n.txt=x"
                               << "converted converted failed skipped";
        QTest::newRow("every file fails") << "in/one.png=junk in/two.gif=GIF89a"
                                          << "failed failed";
    }

    void jsonMatchesTheFilesOnDisk() {
        QFETCH(QString, inputs);
        QFETCH(QString, states);
        const QStringList paths = make(inputs);
        make("out/a.webp=mine");
        QCOMPARE(run(QStringList{"--json", "--to", "webp", "-o", out_} + paths), 1);
        QStringList told, written{"a.webp"};
        qint64 inputTotal = 0, outputTotal = 0;
        for (const QJsonValue& entry : reported()) {
            const QString path = paths.value(told.size()), produced = entry["output"].toString();
            told << entry["state"].toString();
            QCOMPARE(entry["path"].toString(), path);
            QCOMPARE(entry["outputBytes"].toInteger(-1), QFileInfo(produced).size());
            QCOMPARE(entry["reason"].toString().contains(path), told.last() == "failed");
            if (produced.isEmpty())
                continue;
            QVERIFY(entry["reason"].toString().isEmpty() && isWebp(produced));
            QCOMPARE(QFileInfo(produced).path(), out_);
            QCOMPARE(entry["inputBytes"].toInteger(), QFileInfo(path).size());
            inputTotal += QFileInfo(path).size();
            outputTotal += QFileInfo(produced).size();
            written << QFileInfo(produced).fileName();
        }
        QCOMPARE(told.join(' '), states);
        const QJsonObject totals = json()["totals"].toObject();
        for (const char* state : {"converted", "failed", "skipped"})
            QCOMPARE(totals[state].toInt(-1), int(told.count(state)));
        QCOMPARE(totals["inputBytes"].toInteger(), inputTotal);
        QCOMPARE(totals["outputBytes"].toInteger(), outputTotal);
        written.sort();
        QCOMPARE(QDir(out_).entryList(QDir::Files | QDir::Hidden, QDir::Name), written);
        QCOMPARE(head(out_ + "/a.webp"), QByteArray("mine"));
    }

    // Names that are not valid UTF-8, found by a folder scan and given as an argument, are
    // each reported with the reason; the rest converts, and the run says it is incomplete.
    // Beside each, a valid name that the bad bytes would decode to: it converts from its own
    // pixels and is never taken for the other.
    void invalidUtf8NamesAreReported() {
        const QString png = make("in/ok.png").first(), bad = QString(QChar(0xfffd)) + ".png";
        writeImage(in_ + "/caf" + bad, "png", {9, 9});
        writeImage(base_ + "/l" + bad, "png", {7, 7});
        // QTemporaryDir cannot remove what it cannot name.
        const auto removeAll = qScopeGuard([this] { QProcess::execute("rm", {"-rf", base_}); });
        // Copies under raw names; the .txt is not taken anyway: no word about it.
        QCOMPARE(run({"-c", "for n in 'in/caf\\351.png' 'l\\351.png' 'in/\\377.txt'; do "
                            "cp in/ok.png \"$(printf \"$n\")\"; done"},
                     "/bin/sh"),
                 0);
        QCOMPARE(run("--to webp -o out in $(printf 'l\\351.png') l" + bad), 1);
        for (const char* shown : {"/in/caf\\xe9.png", "/l\\xe9.png"})
            QVERIFY2(stderr_.contains("skipped " + base_ + shown + ": the file name is not valid"),
                     qPrintable(stderr_));
        QCOMPARE(stderr_.count('\n'), 2);
        const QString webp = QString(QChar(0xfffd)) + ".webp";
        QCOMPARE(filesBelow(out_), (QStringList{"caf" + webp, "l" + webp, "ok.webp"}));
        QCOMPARE(QImageReader(out_ + "/caf" + webp).size(), QSize(9, 9));
        QCOMPARE(QImageReader(out_ + "/l" + webp).size(), QSize(7, 7));
    }

    // An escape sequence (C0 or C1) in a name or in a tool's error text reaches the terminal
    // escaped, in JSON and on the progress line too; parsed JSON keeps the exact text.
    void controlCharactersAreEscapedInText() {
        const QStringList inputs =
            make(QString("in/bad\x1b[2J\x7f\x01") + QChar(0x9b) + "1m.png in/odd\t.txt=x");
        useFakeTools("printf 'tool says \\033[31mno \\302\\2332J\\n' >&2\nexit 1");
        const QRegularExpression controlButLineFeed("[\\x00-\\x09\\x0b-\\x1f\\x7f-\\x9f]");
        QCOMPARE(run(QStringList{"--to", "webp", "-o", out_} + inputs), 1);
        QVERIFY(!(stdout_ + stderr_).contains(controlButLineFeed));
        QVERIFY2(stdout_.contains("bad\\e[2J\\x7f\\x01\\x9b1m.png: cwebp failed") &&
                     stdout_.contains("tool says \\e[31mno \\x9b2J"),
                 qPrintable(stdout_));
        QVERIFY2(stderr_.contains("skipped " + in_ + "/odd\\t.txt"), qPrintable(stderr_));
        for (const char* format : {"--json", "--json-lines"}) {
            QCOMPARE(run(QStringList{"--to", "webp", format, "-o", out_} + inputs), 1);
            QVERIFY2(!stdout_.contains(controlButLineFeed), qPrintable(stdout_));
            QMap<QString, QString> reasons; // by the exact names parsed back
            for (const QJsonValue& input : reported())
                reasons[input["path"].toString()] = input["reason"].toString();
            QVERIFY2(reasons.value(inputs[0]).contains("\x1b[31mno"), qPrintable(stdout_));
            QVERIFY(reasons.contains(inputs[1]));
        }
        QCOMPARE(progressText(1, 4, QString("a\x1b[2J\t\x7f\x01") + QChar(0x9b) + ".png", 200),
                 QString("[1/4] 25% a\\e[2J\\t\\x7f\\x01\\x9b.png"));
    }

    // Two roots whose trees clash, hidden entries, a link loop and a link to a file: the
    // results mirror the trees, clashes get numbers inside their folder. A link planted in the
    // output tree fails its jobs, an unreadable subfolder is reported; the others still land.
    void recursiveRunMirrorsTrees() {
        make("in/p/top.png in/p/a/x.png in/p/a/b/deep.jpg=jpeg in/p/a/x.JPG=jpeg in/q/a/x.png "
             "in/q/c/only.gif=gif in/p/.hidden/h.png in/p/a/.h.png in/p/a/notes.txt=x");
        QVERIFY(QFile::link(in_ + "/p", in_ + "/p/a/loop") &&
                QFile::link(in_ + "/p/top.png", in_ + "/q/linked.png"));
        QCOMPARE(run("-r --to webp -o out in/p in/q"), 0);
        QCOMPARE(filesBelow(out_),
                 (QStringList{"a/b/deep.webp", "a/x(1).webp", "a/x(2).webp", "a/x.webp",
                              "c/only.webp", "linked.webp", "top.webp"}));
        QVERIFY(QDir().mkpath(base_ + "/elsewhere") && QDir().mkpath(out_ + "/again") &&
                QFile::link(base_ + "/elsewhere", out_ + "/again/a"));
        QCOMPARE(run("-r --to webp -o out/again in/p"), 1);
        QVERIFY2(stdout_.contains(out_ + "/again/a is a link"), qPrintable(stdout_));
        QCOMPARE(entries(base_ + "/elsewhere"), QStringList{});
        QVERIFY(QFileInfo::exists(out_ + "/again/top.webp"));
        // An unreadable subfolder is reported; the rest converts.
        if (::geteuid() == 0)
            QSKIP("root reads folders whatever their mode; the rest has passed");
        const QByteArray locked = QFile::encodeName(in_ + "/p/a/b");
        QVERIFY(::chmod(locked, 0) == 0);
        const auto unlock = qScopeGuard([&locked] { ::chmod(locked, 0700); });
        QCOMPARE(run("-r --to webp -o out/locked in/p"), 1);
        QVERIFY2(stderr_.contains("skipped " + in_ + "/p/a/b: cannot read this folder"),
                 qPrintable(stderr_));
        QCOMPARE(filesBelow(out_ + "/locked"),
                 (QStringList{"a/x(1).webp", "a/x.webp", "top.webp"}));
    }

    // More inputs than the window's list takes: most of them have their results already, so
    // the run stays cheap; the --json-lines stream has one object per input and totals that
    // match them. Results there already are counted apart, converted again only when missing,
    // and never a cause of exit status 1.
    void manyInputsStreamAsJsonLines() {
        const int count = 10050, converted = 50;
        const QByteArray png = head(make("seed.png").first(), 1 << 16);
        QVERIFY(QDir().mkpath(in_ + "/many/sub") && QDir().mkpath(out_ + "/sub"));
        for (int i = 0; i < count; ++i) {
            const QString name = QString("%1%2").arg(i % 2 ? "sub/" : "").arg(i);
            writeBytes(in_ + "/many/" + name + ".png", png);
            if (i >= converted)
                writeBytes(out_ + '/' + name + ".webp", "earlier result");
        }
        useFakeTools("exec cp \"$3\" \"$5\"");
        QCOMPARE(run("-r --skip-existing --to webp --json-lines -o out in/many"), 0);
        const QStringList lines = stdout_.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), count + 1);
        QSet<QString> paths;
        qint64 outputBytes = 0;
        for (const QJsonValue& input : reported()) {
            paths.insert(input["path"].toString());
            outputBytes += input["outputBytes"].toInteger();
        }
        QCOMPARE(paths.size(), count);
        const QJsonObject totals =
            QJsonDocument::fromJson(lines.last().toUtf8())["totals"].toObject();
        QCOMPARE(totals["inputs"].toInt(), count);
        QCOMPARE(totals["converted"].toInt(), converted);
        QCOMPARE(totals["alreadyExists"].toInt(), count - converted);
        QCOMPARE(totals["outputBytes"].toInteger(), outputBytes);
        QCOMPARE(outputBytes, converted * png.size());
        QCOMPARE(run("-r --skip-existing --to webp -o out in/many"), 0);
        QVERIFY2(stdout_.startsWith("Converted 0, failed 0, skipped 0, already existing 10050\n"),
                 qPrintable(stdout_));
        QCOMPARE(filesBelow(out_).size(), count); // no "(1)" copies
    }

    // The README's recipe for many machines, with this machine as the one host ":": every
    // result next to its source, the merged report's totals those of the files. GNU parallel
    // and jq come with scripts/install-deps.
    void recipeForManyMachines() {
        make("in/x.png in/a/y.png in/a/b/broken.png=junk hosts=:\n");
        writeImage(in_ + "/a/b/with space.jpg", "jpeg");
        QCOMPARE(run({"-c", "find in -type f > list && PATH=\"$0:$PATH\" exec \"$@\"",
                      QFileInfo(TESSARO_CONVERT_BINARY).path(),
                      TESSARO_SOURCE_DIR "/scripts/convert-on-hosts", "hosts", "list", "webp",
                      "report.json"},
                     "/bin/sh"),
                 1); // the broken one
        qint64 bytes = 0;
        for (const char* result : {"/x.webp", "/a/y.webp", "/a/b/with space.webp"}) {
            QVERIFY2(isWebp(in_ + result), result);
            bytes += QFileInfo(in_ + result).size();
        }
        QVERIFY(!QFileInfo::exists(in_ + "/a/b/broken.webp"));
        // The merged report: every input once, totals those of the files.
        const QJsonObject report =
            QJsonDocument::fromJson(head(base_ + "/report.json", 1 << 20)).object();
        const QJsonObject totals = report["totals"].toObject();
        QCOMPARE(report["inputs"].toArray().size(), 4);
        QCOMPARE(totals["converted"].toInt() * 10 + totals["failed"].toInt(), 31);
        QCOMPARE(totals["outputBytes"].toInteger(), bytes);
    }

    // Killed outright (SIGKILL), the converter cannot stop its tools itself; they must still
    // not go on writing into a work folder the next start removes, nor what they started.
    void interruptLeavesNoPartialFile_data() {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<bool>("wrapper"); // the tool a script that waits for its own child
        for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGKILL})
            for (const bool wrapper : {false, true})
                QTest::addRow("%s%s", strsignal(signalNumber), wrapper ? ", wrapper" : "")
                    << signalNumber << wrapper;
    }

    // Stand-in tools write a partial output, note their process (a wrapper: its child's) in
    // <tools>/started, then hang.
    void interruptLeavesNoPartialFile() {
        QFETCH(int, signalNumber);
        QFETCH(bool, wrapper);
        // They ignore the polite request to stop: the grace period ends them. A wrapper's own
        // child must end with it.
        useFakeTools(QString("trap '' TERM\nfor last; do :; done\nprintf partial > \"$last\"\n") +
                     (wrapper ? "sleep 60 &\necho $! >> \"$(dirname \"$0\")/started\"\nwait"
                              : "echo $$ >> \"$(dirname \"$0\")/started\"\nsleep 60 & wait"));
        make("in/a.png in/b.png in/c.png");
        QProcess process;
        process.start(TESSARO_CONVERT_BINARY, {"--to", "webp", "-j", "2", "-o", out_, in_});
        QStringList pids;
        QTRY_COMPARE_WITH_TIMEOUT(
            (pids = QString(head(base_ + "/tools/started", 4096)).split('\n')).size(), 3, 20000);
        for (const QString& pid : pids.mid(0, 2))
            QVERIFY2(processAlive(pid.toLongLong()), qPrintable(pid));
        QCOMPARE(::kill(static_cast<pid_t>(process.processId()), signalNumber), 0);
        QVERIFY(process.waitForFinished(30000));
        for (const QString& pid : pids.mid(0, 2))
            QTRY_VERIFY2_WITH_TIMEOUT(!processAlive(pid.toLongLong()), qPrintable(pid), 5000);
        if (signalNumber == SIGKILL)
            return;
        QCOMPARE(process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, 130);
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        QVERIFY2(out.contains("Cancelled.") && out.contains("Converted 0, failed 0, skipped 3"),
                 qPrintable(out));
        QCOMPARE(filesBelow(out_) + filesBelow(base_ + "/data"), QStringList{});
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
