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
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

using namespace TestFiles;

namespace {

using FormatCheck = bool (*)(const QString&);

bool isStillWebp(const QString& path) {
    return isWebp(path) && !head(path, 1 << 20).contains("ANIM");
}

QStringList filesBelow(const QString& folder) {
    QStringList files;
    const auto filter = QDir::Files | QDir::Hidden | QDir::System;
    for (QDirIterator it(folder, filter, QDirIterator::Subdirectories); it.hasNext();)
        files << it.next();
    return files;
}

// Any control character but the line feed, C1 included.
const QRegularExpression controlCharacter("[\\x00-\\x09\\x0b-\\x1f\\x7f-\\x9f]");

// Files below folder relative to it, sorted.
QStringList relativeFilesBelow(const QString& folder) {
    QStringList names;
    for (const QString& path : filesBelow(folder))
        names << QDir(folder).relativeFilePath(path);
    names.sort();
    return names;
}

// A copy of a small PNG under a name given as bytes (not necessarily valid UTF-8).
QByteArray copyUnderRawName(const QString& png, const QByteArray& rawPath) {
    QFile source(png);
    const QByteArray bytes = source.open(QIODevice::ReadOnly) ? source.readAll() : QByteArray();
    const int fd = ::open(rawPath.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0 || ::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size())
        qFatal("cannot write %s", rawPath.constData());
    ::close(fd);
    return rawPath;
}

} // namespace

class CliTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    int runs_ = 0;
    QString base_, in_, out_, dataHome_, stdout_, stderr_;

    // The exit status, -1 for a crash or a hang; the output lands in stdout_ and stderr_.
    int run(const QStringList& arguments) {
        QProcess process;
        process.start(TESSARO_CONVERT_BINARY, arguments);
        const bool exited = process.waitForFinished(120000) && process.exitStatus() == 0;
        stdout_ = QString::fromUtf8(process.readAllStandardOutput());
        stderr_ = QString::fromUtf8(process.readAllStandardError());
        return exited ? process.exitCode() : -1;
    }

    // An input under in_ (or at an absolute path), given as name=kind; kind is png (the
    // default), jpeg, webp, gif, noise (a photo-like PNG), noisewebp (the same through cwebp),
    // alpha (a PNG whose transparent pixels hide colours), or else the file's text.
    QString make(const QString& input) {
        const QString path = QDir(in_).filePath(input.section('=', 0, 0));
        const QString kind = input.contains('=') ? input.section('=', 1) : "png";
        QDir().mkpath(QFileInfo(path).path());
        if (kind == "png" || kind == "jpeg")
            return writeImage(path, qPrintable(kind));
        if (kind == "webp")
            return writeWebp(path);
        if (!kind.startsWith("noise") && kind != "alpha")
            return kind == "gif" ? writeAnimatedGif(path) : writeBytes(path, kind.toUtf8());
        QImage image(160, 120, kind == "alpha" ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const int v = (x * 7 + y * 13 + (x * y) % 97) % 256;
                image.setPixel(x, y,
                               qRgba(v, (v * 3) % 256, 255 - v, kind == "alpha" ? x % 256 : 255));
            }
        const QString png = kind == "noisewebp" ? path + ".png" : path;
        image.save(png, "png");
        if (png != path)
            QProcess::execute("cwebp", {"-quiet", "-lossless", png, "-o", path});
        return path;
    }

    // Stand-in tools for every later run of this test function.
    void useFakeTools(const QString& script) {
        writeFakeTools(base_ + "/tools", script);
        qputenv("TESSARO_TOOLS_DIR", QFile::encodeName(base_ + "/tools"));
    }
    QJsonObject json() const { return QJsonDocument::fromJson(stdout_.toUtf8()).object(); }

private Q_SLOTS:
    void init() {
        base_ = dir_.filePath(QString::number(++runs_));
        in_ = base_ + "/in";
        out_ = base_ + "/out";
        dataHome_ = base_ + "/data";
        QVERIFY(dir_.isValid() && QDir().mkpath(in_) && QDir().mkpath(dataHome_));
        // Inherited by the converter: its work folders, and the bundled real tools.
        qputenv("XDG_DATA_HOME", dataHome_.toUtf8());
        qunsetenv("TESSARO_TOOLS_DIR");
    }

    // GIF and PNG/JPEG sources in one WebP run, from a folder (one level) and loose paths. Output
    // goes to a pipe: plain lines, one per skipped input on stderr, the failures in the summary.
    void mixedRunToWebp() {
        QVERIFY(QDir().mkpath(in_ + "/sub"));
        for (const char* input : {"still.png", "sub/inner.png", "anim.gif=gif", "photo.JPG=jpeg",
                                  "cam.png=jpeg", "n.txt=x"})
            make(input);
        const QString loose = make(base_ + "/loose.GIF=gif"), broken = make(base_ + "/bad.png=no");
        const QStringList skipped{make(base_ + "/already.webp=webp"), make(base_ + "/notes.txt=x"),
                                  base_ + "/missing.png"};
        QCOMPARE(run(QStringList{"-t", "webp", "-o", out_, in_, loose, broken} + skipped), 1);
        QCOMPARE(QDir(out_).entryList(QDir::Files, QDir::Name),
                 (QStringList{"anim.webp", "cam.webp", "loose.webp", "photo.webp", "still.webp"}));
        QVERIFY(isAnimatedWebp(out_ + "/anim.webp") && isAnimatedWebp(out_ + "/loose.webp"));
        for (const char* still : {"/still.webp", "/photo.webp", "/cam.webp"})
            QCOMPARE(QImageReader(out_ + still).size(), QSize(48, 32));
        const QStringList lines = stderr_.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), skipped.size());
        for (int i = 0; i < skipped.size(); ++i)
            QVERIFY2(lines.at(i).contains(skipped.at(i)), qPrintable(lines.at(i)));
        QVERIFY(lines.at(0).contains("\"webp\""));
        QVERIFY(stdout_.contains("Converted 5, failed 1, skipped 3") && stdout_.contains(broken));
        // Any control character but the line feed.
        QVERIFY(!(stdout_ + stderr_).contains(controlCharacter));
    }

    // Profiles by default, metadata on request, per-input fields in the JSON, JPEG quality.
    void profileAndMetadataOptions_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("profile");
        QTest::addColumn<bool>("metadata");
        QTest::newRow("defaults") << QStringList{} << true << false;
        QTest::newRow("strip profile") << QStringList{"--strip-profile"} << false << false;
        QTest::newRow("keep metadata") << QStringList{"--keep-metadata"} << true << true;
    }

    void profileAndMetadataOptions() {
        QFETCH(QStringList, options);
        QFETCH(bool, profile);
        QFETCH(bool, metadata);
        const QString webp = TaggedImages::write(in_ + "/tagged.webp", "webp", {});
        const QString jpeg = TaggedImages::write(in_ + "/tagged.jpg", "jpeg", {});
        for (const auto& [source, target] : {std::pair{webp, "jpg"}, std::pair{jpeg, "webp"}}) {
            const QString out = out_ + '/' + target;
            QCOMPARE(run(QStringList{"--json", "--to", target, "-o", out, source} + options), 0);
            const QJsonObject input = json()["inputs"].toArray().at(0).toObject();
            QCOMPARE(input["profile"].toBool() + 2 * input["metadata"].toBool(),
                     profile + 2 * metadata);
            const QString result = input["output"].toString();
            QCOMPARE(TaggedImages::profileOf(result),
                     profile ? TaggedImages::wideGamutProfile() : QByteArray());
            QCOMPARE(TaggedImages::tagValue(result, "Exif.Image.Model"),
                     metadata ? TaggedImages::CameraModel : QString());
        }
    }

    // Converted, but the metadata asked for cannot be carried: said in JSON and in the text.
    void metadataThatCannotBeCarriedIsAWarning() {
        const QString source = TaggedImages::writeWebpWithOversizedXmp(in_ + "/big.webp");
        QCOMPARE(run({"--to", "jpg", "--keep-metadata", "-o", out_, source}), 0);
        QVERIFY2(stdout_.contains("Warning: " + source + ": "), qPrintable(stdout_));
        QCOMPARE(run({"--json", "--to", "jpg", "--keep-metadata", "-o", out_ + "2", source}), 0);
        const QJsonObject input = json()["inputs"].toArray().at(0).toObject();
        QCOMPARE(input["state"].toString(), QString("converted"));
        QVERIFY(!input["warning"].toString().isEmpty() && !input["metadata"].toBool());
        QVERIFY(!QImage(input["output"].toString()).isNull());
    }

    // Aims, each row checked by readers of its own: the decoded result's size and pixels, the
    // file's bytes, the measures worked out again here.
    void aims_data() {
        QTest::addColumn<QString>("source"); // name=kind as make() takes it; noise: a photo
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("check");
        auto row = [](const char* tag, const char* source, const char* options, const char* check) {
            QTest::newRow(tag) << source << QString(options).split(' ') << check;
        };
        row("side, png to webp", "a.png=png", "--to webp --max-side 24", "24x16");
        row("side, webp to png", "a.webp=webp", "--to png --max-side 24", "24x16");
        row("side, webp to jpg", "a.webp=webp", "--to jpg --max-side 24", "24x16");
        row("side, animation", "a.gif=gif", "--to webp --max-side 1", "1x1 animated");
        row("size, webp", "n.png=noise", "--to webp --target-size 12k", "size 12000");
        row("size, jpg", "n.webp=noisewebp", "--to jpg --target-size 12k", "size 12000");
        row("size out of reach", "n.png=noise", "--to webp --target-size 200", "unreached");
        row("fidelity", "n.png=noise", "--to webp --target-ssim 0.9", "ssim 0.9");
        row("fidelity, animation", "a.gif=gif", "--to webp --target-ssim 0.9", "fixed quality");
        row("lossless with alpha", "t.png=alpha", "--to webp --lossless --measure", "exact");
        row("min saving", "a.png=png", "--to webp --min-saving 99", "not smaller");
    }

    void aims() {
        QFETCH(QString, source);
        QFETCH(QStringList, options);
        QFETCH(QString, check);
        const QString path = make(source);
        QCOMPARE(run(QStringList{"--json", "-o", out_, path} + options), 0);
        const QJsonObject input = json()["inputs"].toArray().at(0).toObject();
        const QString result = input["output"].toString();
        QImageReader reader(result);
        const FormatCheck format = result.endsWith(".png")   ? &isPng
                                   : result.endsWith(".jpg") ? &isJpeg
                                                             : &isWebp;
        QVERIFY(result.isEmpty() || format(result));
        if (check.front().isDigit()) {
            QCOMPARE(QString("%1x%2").arg(reader.size().width()).arg(reader.size().height()),
                     check.section(' ', 0, 0));
            QCOMPARE(input["width"].toInt(), reader.size().width());
            QCOMPARE(check.endsWith("animated"), reader.imageCount() == 2);
        } else if (check.startsWith("size")) {
            const qint64 goal = check.section(' ', 1).toLongLong(),
                         bytes = QFileInfo(result).size();
            QVERIFY2(bytes <= goal && bytes >= goal / 2, qPrintable(QString::number(bytes)));
            QVERIFY(input["quality"].toInt() > 0 && input["warning"].toString().isEmpty());
        } else if (check == "unreached") {
            QVERIFY(input["warning"].toString().startsWith("could not reach 200 B (got "));
            QCOMPARE(input["quality"].toInt(), 0);
        } else if (check.startsWith("ssim")) {
            const double ssim = ImageMeasures::ssim(QImage(path), QImage(result));
            QVERIFY(ssim >= check.section(' ', 1).toDouble());
            QCOMPARE(input["ssim"].toDouble(), qRound(ssim * 10000) / 10000.0);
        } else if (check == "fixed quality") {
            QVERIFY(input["warning"].toString().contains("converted at quality 90"));
        } else if (check == "exact") {
            const QImage a = QImage(path).convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(QImage(result).convertToFormat(QImage::Format_ARGB32), a);
            QCOMPARE(input["psnr"].toDouble(), 99.0);
        } else {
            QCOMPARE(input["state"].toString(), QString("notSmaller"));
            QVERIFY(input["reason"].toString().endsWith("the source is kept as it is"));
            QCOMPARE(json()["totals"].toObject()["notSmaller"].toInt(), 1);
            QVERIFY(!QFileInfo::exists(out_) || QDir(out_).isEmpty());
        }
    }

    void qualitySetsTheJpegQuality() {
        const QString source = make("q.webp=webp");
        qint64 bytes[2] = {};
        for (const int i : {0, 1}) {
            const QString out = out_ + QString::number(i);
            QCOMPARE(run({"--json", "--to", "jpg", "-q", i == 0 ? "5" : "95", "-o", out, source}),
                     0);
            bytes[i] = QFileInfo(out + "/q.jpg").size();
        }
        QVERIFY2(bytes[0] > 0 && bytes[0] * 2 < bytes[1],
                 qPrintable(QStringLiteral("%1 vs %2").arg(bytes[0]).arg(bytes[1])));
    }

    // A preset stands for the flags of what it holds, where it is given: a flag after it
    // overrides it, one before it is overridden. What --list-presets prints is a presets file
    // converting the same; a mistake in a hand-written one is told by its line.
    void presets_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("file"); // the presets file; "" for none
        QTest::addColumn<int>("quality");  // the JPG result's; 0: exit status 2
        QTest::addColumn<int>("width");
        const QString share = "Share";
        QTest::newRow("preset") << QStringList{"--preset", share} << "" << 85 << 1600;
        QTest::newRow("quality after it")
            << QStringList{"--preset", share, "-q", "50"} << "" << 50 << 1600;
        QTest::newRow("quality before it")
            << QStringList{"-q", "50", "--preset", share} << "" << 85 << 1600;
        QTest::newRow("size limit after it")
            << QStringList{"--preset", share, "--max-side", "100"} << "" << 85 << 100;
        QTest::newRow("hand-written")
            << QStringList{"--preset", "Mine", "-t", "jpg"} << "[Mine]\nquality = 30\n"
            << 30 << 2000;
        QTest::newRow("hand-written mistake") << QStringList{"--preset", "Mine", "-t", "jpg"}
                                              << "[Mine]\nquality = 30\nlossless = 1\n"
                                              << 0 << 0;
    }
    void presets() {
        QFETCH(QStringList, options);
        QFETCH(QString, file);
        QFETCH(int, quality);
        QFETCH(int, width);
        const QString config = base_ + "/config/tessaro";
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(base_ + "/config"));
        QVERIFY(QDir().mkpath(config));
        if (!file.isEmpty())
            writeBytes(config + "/presets.conf", file.toUtf8());
        const QString source = writeImage(in_ + "/big.webp", "webp", {2000, 1000});
        for (const QString& out : {out_, out_ + "2"}) {
            const int status =
                run(QStringList{"--json", "-o", out} + options + QStringList{source});
            if (quality == 0) {
                QCOMPARE(status, 2);
                QVERIFY2(stderr_.contains(config + "/presets.conf, line 3: "), qPrintable(stderr_));
                return;
            }
            QCOMPARE(status, 0);
            const QJsonObject input = json()["inputs"].toArray().at(0).toObject();
            QCOMPARE(input["quality"].toInt(), quality);
            QCOMPARE(input["width"].toInt(), width);
            QCOMPARE(run({"--list-presets"}), 0);
            writeBytes(config + "/presets.conf", stdout_.toUtf8());
        }
    }

    // IN: a PNG, TXT: a text file, DIR: the folder holding both.
    void exitTwo_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("usage");
        auto row = [](const char* arguments, const char* message, bool usage = true) {
            QTest::newRow(arguments) << QString::fromLatin1(arguments).split(' ')
                                     << QString::fromLatin1(message) << usage;
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
        row("-t webp -o TXT/o IN", "TXT", false);
        row("--to png --target-size 50k IN", "PNG results are lossless");
        row("--to webp -q 80 --target-ssim 0.9 IN", "--target-ssim");
        row("--to webp --target-ssim 1.5 IN", "1.5");
        row("--to webp --lossless --target-size 10k IN", "--lossless");
        row("--to webp --max-side 0 IN", "--max-side");
        row("--to webp --min-saving 100 IN", "--min-saving");
        row("--next-to-source -t webp IN", "--next-to-source");
        row("--watch --json -t webp DIR", "--json-lines");
        row("--watch -t webp IN", "cannot watch", false);
    }

    void exitTwo() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QFETCH(bool, usage);
        const QString png = make("photo.png"), txt = make("notes.txt=text");
        arguments.replaceInStrings("IN", png).replaceInStrings("TXT", txt);
        arguments.replaceInStrings("DIR", in_);
        if (!arguments.contains("-o"))
            arguments << "-o" << out_;
        QCOMPARE(run(arguments), 2);
        const QString line =
            usage ? stderr_.section('\n', 0, 0) : stderr_.trimmed().section('\n', -1);
        QVERIFY2(line.startsWith("tessaro-convert: ") && line.contains(message.replace("TXT", txt)),
                 qPrintable(line));
        if (usage) {
            QVERIFY(stdout_.isEmpty());
            QVERIFY(stderr_.section('\n', 1, 1).startsWith("Usage: tessaro-convert"));
            QVERIFY(!QFileInfo::exists(out_));
        }
        QCOMPARE(QDir(out_).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{});
    }

    // Each input as name=content kind, then its expected state. An a.webp of the user's is in
    // the output folder already and must survive.
    void jsonMatchesTheFilesOnDisk_data() {
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QStringList>("states");
        auto row = [](const char* tag, const char* inputs, const char* states) {
            QTest::newRow(tag) << QString(inputs).split(' ') << QString(states).split(' ');
        };
        row("mixed", "a.png=png b.jpg=jpeg broken.png=junk n.txt=x",
            "converted converted failed skipped");
        row("every file fails", "one.png=junk two.gif=GIF89a", "failed failed");
    }

    void jsonMatchesTheFilesOnDisk() {
        QFETCH(QStringList, inputs);
        QFETCH(QStringList, states);
        QStringList paths, written{"a.webp"};
        for (const QString& input : inputs)
            paths << make(input);
        QVERIFY(QDir().mkpath(out_));
        writeBytes(out_ + "/a.webp", "mine");
        QCOMPARE(run(QStringList{"--json", "--to", "webp", "-o", out_} + paths), 1);
        const QJsonObject report = json();
        const QJsonArray entries = report.value("inputs").toArray();
        QCOMPARE(entries.size(), paths.size());
        qint64 inputTotal = 0, outputTotal = 0;
        for (int i = 0; i < paths.size(); ++i) {
            const QJsonObject entry = entries.at(i).toObject();
            const QString produced = entry.value("output").toString(),
                          reason = entry["reason"].toString();
            const bool converted = states.at(i) == "converted";
            QCOMPARE(entry.value("path").toString() + ' ' + entry.value("state").toString(),
                     paths.at(i) + ' ' + states.at(i));
            QCOMPARE(entry.value("outputBytes").toInteger(-1),
                     converted ? QFileInfo(produced).size() : 0);
            QCOMPARE(produced.isEmpty() || reason.isEmpty(), true);
            QCOMPARE(reason.contains(paths.at(i)), states.at(i) == "failed");
            if (!converted)
                continue;
            QVERIFY(isWebp(produced) && QFileInfo(produced).path() == out_);
            QCOMPARE(entry.value("inputBytes").toInteger(), QFileInfo(paths.at(i)).size());
            inputTotal += QFileInfo(paths.at(i)).size();
            outputTotal += QFileInfo(produced).size();
            written << QFileInfo(produced).fileName();
        }
        const QJsonObject totals = report.value("totals").toObject();
        for (const char* state : {"converted", "failed", "skipped"})
            QCOMPARE(totals.value(state).toInt(-1), int(states.count(state)));
        QCOMPARE(totals.value("inputBytes").toInteger(), inputTotal);
        QCOMPARE(totals.value("outputBytes").toInteger(), outputTotal);
        written.sort();
        QCOMPARE(QDir(out_).entryList(QDir::Files | QDir::Hidden, QDir::Name), written);
        QCOMPARE(head(out_ + "/a.webp"), QByteArray("mine"));
    }

    // Names that are not valid UTF-8, found by a folder scan and given as an argument, are
    // each reported with the reason; the rest converts, and the run says it is incomplete.
    // Beside each, a valid name that the bad bytes would decode to: it converts from its own
    // pixels and is never taken for the other.
    void invalidUtf8NamesAreReported() {
        const QString png = make("ok.png");
        const QString replacement = QString(QChar(0xfffd)) + ".png";
        writeImage(in_ + "/caf" + replacement, "png", {9, 9});
        writeImage(base_ + "/l" + replacement, "png", {7, 7});
        const QByteArray folder = QFile::encodeName(in_);
        copyUnderRawName(png, folder + "/caf\xe9.png");
        copyUnderRawName(png, folder + "/\xff.txt"); // not taken anyway: no word about it
        const QByteArray loose = copyUnderRawName(png, QFile::encodeName(base_) + "/l\xe9.png");
        qputenv("LOOSE", loose);
        // Raw bytes as arguments: only a shell passes them through untouched.
        const auto runRaw = [this](const QString& script, const QStringList& arguments) {
            QProcess process;
            process.start("/bin/sh", QStringList{"-c", script, TESSARO_CONVERT_BINARY} + arguments);
            process.waitForFinished(60000);
            stdout_ = QString::fromUtf8(process.readAllStandardOutput());
            stderr_ = QString::fromUtf8(process.readAllStandardError());
            return process.exitCode();
        };
        QCOMPARE(runRaw("exec \"$0\" --to webp -o \"$1\" \"$2\" \"$LOOSE\" \"$3\"",
                        {out_, in_, base_ + "/l" + replacement}),
                 1);
        const QStringList shown{in_ + "/caf\\xe9.png", base_ + "/l\\xe9.png"};
        for (const QString& path : shown)
            QVERIFY2(stderr_.contains("skipped " + path + ": the file name is not valid UTF-8"),
                     qPrintable(stderr_));
        QCOMPARE(stderr_.count('\n'), 2);
        const QString cafe = "caf" + QString(QChar(0xfffd)) + ".webp";
        const QString l = "l" + QString(QChar(0xfffd)) + ".webp";
        QCOMPARE(relativeFilesBelow(out_), (QStringList{cafe, l, "ok.webp"}));
        QCOMPARE(QImageReader(out_ + '/' + cafe).size(), QSize(9, 9));
        QCOMPARE(QImageReader(out_ + '/' + l).size(), QSize(7, 7));
        // An output folder named by such bytes is a usage error, and nothing is made.
        qputenv("BADOUT", QFile::encodeName(base_) + "/out\xe9");
        QCOMPARE(runRaw("exec \"$0\" --to webp -o \"$BADOUT\" \"$1\"", {png}), 2);
        QVERIFY(stderr_.contains("not valid UTF-8"));
        QCOMPARE(QDir(base_).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                 (QStringList{"data", "in", "out"}));
        // QTemporaryDir cannot remove what it cannot name.
        for (const QByteArray& raw : {folder + "/caf\xe9.png", folder + "/\xff.txt", loose})
            ::unlink(raw.constData());
    }

    // An escape sequence (C0 or C1) in a name or in a tool's error text reaches the terminal
    // escaped, in JSON too; parsed JSON keeps the exact text.
    void controlCharactersAreEscapedInText() {
        const QString name = QString("bad\x1b[2J\x7f\x01") + QChar(0x9b) + "1m.png";
        const QString good = make(name), skipped = make("odd\t.txt=x");
        useFakeTools("printf 'tool says \\033[31mno \\302\\2332J\\n' >&2\nexit 1");
        QCOMPARE(run({"--to", "webp", "-o", out_, good, skipped}), 1);
        QVERIFY(!(stdout_ + stderr_).contains(controlCharacter));
        QVERIFY2(stdout_.contains("bad\\e[2J\\x7f\\x01\\x9b1m.png: cwebp failed") &&
                     stdout_.contains("tool says \\e[31mno \\x9b2J"),
                 qPrintable(stdout_));
        QVERIFY2(stderr_.contains("skipped " + in_ + "/odd\\t.txt"), qPrintable(stderr_));
        for (const char* format : {"--json", "--json-lines"}) {
            QCOMPARE(run({"--to", "webp", format, "-o", out_, good, skipped}), 1);
            QVERIFY2(!stdout_.contains(controlCharacter), qPrintable(stdout_));
            QJsonArray inputs = json()["inputs"].toArray();
            for (const QString& line : stdout_.split('\n', Qt::SkipEmptyParts))
                if (format == QLatin1String("--json-lines"))
                    inputs.append(QJsonDocument::fromJson(line.toUtf8()).object());
            QMap<QString, QString> reasons; // by the exact names parsed back
            for (const QJsonValue& input : inputs)
                reasons[input["path"].toString()] = input["reason"].toString();
            QVERIFY2(reasons.value(good).contains("\x1b[31mno"), qPrintable(stdout_));
            QVERIFY(reasons.contains(skipped));
        }
    }

    void progressLineEscapesNames() {
        QCOMPARE(progressText(1, 4, QString("a\x1b[2J\t\x7f\x01") + QChar(0x9b) + ".png", 200),
                 QString("[1/4] 25% a\\e[2J\\t\\x7f\\x01\\x9b.png"));
    }

    // Two roots whose trees clash, hidden entries, a link loop and a link to a file: the
    // results mirror the trees, clashes get numbers inside their folder.
    void recursiveRunMirrorsTrees() {
        for (const char* name :
             {"p/top.png", "p/a/x.png", "p/a/b/deep.jpg=jpeg", "p/a/x.JPG=jpeg", "q/a/x.png",
              "q/c/only.gif=gif", "p/.hidden/h.png", "p/a/.h.png", "p/a/notes.txt=x"})
            make(name);
        QVERIFY(QFile::link(in_ + "/p", in_ + "/p/a/loop"));
        QVERIFY(QFile::link(in_ + "/p/top.png", in_ + "/q/linked.png"));
        QCOMPARE(run({"-r", "--to", "webp", "-o", out_, in_ + "/p", in_ + "/q"}), 0);
        QCOMPARE(relativeFilesBelow(out_),
                 (QStringList{"a/b/deep.webp", "a/x(1).webp", "a/x(2).webp", "a/x.webp",
                              "c/only.webp", "linked.webp", "top.webp"}));
        QVERIFY(isAnimatedWebp(out_ + "/c/only.webp"));
        QVERIFY(stdout_.contains("Converted 7, failed 0, skipped 0"));
        // Without -r only the top level.
        QCOMPARE(run({"--to", "webp", "-o", out_ + "/flat", in_ + "/p"}), 0);
        QCOMPARE(relativeFilesBelow(out_ + "/flat"), QStringList{"top.webp"});
        // A link planted in the output tree fails its jobs; the others still land.
        QVERIFY(QDir().mkpath(base_ + "/elsewhere") && QDir().mkpath(out_ + "/again"));
        QVERIFY(QFile::link(base_ + "/elsewhere", out_ + "/again/a"));
        QCOMPARE(run({"-r", "--to", "webp", "-o", out_ + "/again", in_ + "/p"}), 1);
        QVERIFY2(stdout_.contains(out_ + "/again/a is a link"), qPrintable(stdout_));
        QCOMPARE(relativeFilesBelow(base_ + "/elsewhere"), QStringList{});
        QVERIFY(QFileInfo::exists(out_ + "/again/top.webp"));
    }

    void unreadableSubfolderIsReported() {
        if (::geteuid() == 0)
            QSKIP("root reads folders whatever their mode");
        make("p/ok.png");
        make("p/locked/in.png");
        QVERIFY(QFile::setPermissions(in_ + "/p/locked", QFileDevice::Permissions()));
        const int status = run({"-r", "--to", "webp", "-o", out_, in_ + "/p"});
        QFile::setPermissions(in_ + "/p/locked", QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                     QFileDevice::ExeOwner);
        QCOMPARE(status, 1);
        QVERIFY2(stderr_.contains("skipped " + in_ + "/p/locked: cannot read this folder"),
                 qPrintable(stderr_));
        QCOMPARE(relativeFilesBelow(out_), QStringList{"ok.webp"});
    }

    // Results beside their sources; the user's s/b.webp there is kept, the result numbered.
    void nextToSourceKeepsWhatIsThere() {
        make("p/a.png");
        make("p/s/b.png");
        writeBytes(in_ + "/p/s/b.webp", "mine");
        QCOMPARE(run({"-r", "--to", "webp", "--next-to-source", in_ + "/p"}), 0);
        QCOMPARE(relativeFilesBelow(in_ + "/p"),
                 (QStringList{"a.png", "a.webp", "s/b(1).webp", "s/b.png", "s/b.webp"}));
        QCOMPARE(head(in_ + "/p/s/b.webp"), QByteArray("mine"));
    }

    // First run, an identical second run, then a result deleted before a third.
    void skipExistingConvertsOnlyWhatIsMissing() {
        for (const char* name : {"p/a.png", "p/s/b.png", "p/s/c.jpg=jpeg"})
            make(name);
        const QStringList arguments{"-r", "--skip-existing", "--to", "webp", "--json", "-o",
                                    out_, in_ + "/p"};
        const QStringList all{"a.webp", "s/b.webp", "s/c.webp"};
        auto totals = [&] { return json()["totals"].toObject(); };
        QCOMPARE(run(arguments), 0);
        QCOMPARE(relativeFilesBelow(out_), all);
        QCOMPARE(totals()["converted"].toInt(), 3);
        QCOMPARE(run(arguments), 0);
        QCOMPARE(relativeFilesBelow(out_), all); // no "(1)" copies
        QCOMPARE(totals()["converted"].toInt(), 0);
        QCOMPARE(totals()["alreadyExists"].toInt(), 3);
        QCOMPARE(totals()["skipped"].toInt(), 0);
        for (const QJsonValue& entry : json()["inputs"].toArray())
            QCOMPARE(entry["reason"].toString(), QString("already exists"));
        QVERIFY(QFile::remove(out_ + "/s/b.webp"));
        QCOMPARE(run(arguments), 0);
        QCOMPARE(relativeFilesBelow(out_), all);
        QCOMPARE(totals()["converted"].toInt(), 1);
        QCOMPARE(totals()["alreadyExists"].toInt(), 2);
        // Without the option the results are kept and new ones numbered.
        QCOMPARE(run(QStringList{"-r"} + arguments.mid(2)), 0);
        QVERIFY(QFileInfo::exists(out_ + "/s/b(1).webp"));
    }

    // More inputs than the window's list takes: most of them have their results already, so
    // the run stays cheap; the --json-lines stream has one object per input and totals that
    // match them.
    void manyInputsStreamAsJsonLines() {
        const int count = 10050, converted = 50;
        const QByteArray png = head(make("seed.png"), 1 << 16);
        QVERIFY(QDir().mkpath(in_ + "/many/sub") && QDir().mkpath(out_ + "/sub"));
        for (int i = 0; i < count; ++i) {
            const QString name = QString("%1%2").arg(i % 2 ? "sub/" : "").arg(i);
            writeBytes(in_ + "/many/" + name + ".png", png);
            if (i >= converted)
                writeBytes(out_ + '/' + name + ".webp", "earlier result");
        }
        useFakeTools("exec cp \"$3\" \"$5\"");
        QCOMPARE(run({"-r", "--skip-existing", "--to", "webp", "--json-lines", "-o", out_,
                      in_ + "/many", in_ + "/missing.png"}),
                 1);
        const QStringList lines = stdout_.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), count + 2);
        QSet<QString> paths;
        qint64 outputBytes = 0;
        for (const QString& line : lines.mid(0, count + 1)) {
            QJsonParseError error;
            const QJsonObject entry = QJsonDocument::fromJson(line.toUtf8(), &error).object();
            QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(line));
            paths.insert(entry["path"].toString());
            outputBytes += entry["outputBytes"].toInteger();
        }
        QCOMPARE(paths.size(), count + 1);
        const QJsonObject totals =
            QJsonDocument::fromJson(lines.last().toUtf8())["totals"].toObject();
        QCOMPARE(totals["inputs"].toInt(), count + 1);
        QCOMPARE(totals["converted"].toInt(), converted);
        QCOMPARE(totals["alreadyExists"].toInt(), count - converted);
        QCOMPARE(totals["skipped"].toInt(), 1);
        QCOMPARE(totals["outputBytes"].toInteger(), outputBytes);
        QCOMPARE(outputBytes, converted * png.size());
        QCOMPARE(filesBelow(out_).size(), count);
    }

    // The README's recipe for many machines, with this machine as the one host ":": every
    // result next to its source, the merged report's totals those of the files.
    void recipeForManyMachines() {
        QVERIFY2(!QStandardPaths::findExecutable("parallel").isEmpty() &&
                     !QStandardPaths::findExecutable("jq").isEmpty(),
                 "GNU parallel and jq are needed (scripts/install-deps)");
        QStringList inputs;
        for (const char* name : {"photos/x.png", "photos/a/y.png", "photos/a/b/with space.jpg=jpeg",
                                 "photos/a/b/broken.png=junk"})
            inputs << QDir(in_).relativeFilePath(make(name));
        writeBytes(in_ + "/list", (inputs.join('\n') + '\n').toUtf8());
        writeBytes(in_ + "/hosts", ":\n");
        QProcess recipe;
        recipe.setWorkingDirectory(in_);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PATH", QFileInfo(TESSARO_CONVERT_BINARY).path() + ':' +
                                       environment.value("PATH"));
        environment.insert("HOME", base_); // parallel keeps its state there
        recipe.setProcessEnvironment(environment);
        recipe.start(TESSARO_SOURCE_DIR "/scripts/convert-on-hosts",
                     {"hosts", "list", "webp", "report.json"});
        QVERIFY(recipe.waitForFinished(120000));
        QCOMPARE(recipe.exitCode(), 1); // the broken one
        for (const char* result :
             {"photos/x.webp", "photos/a/y.webp", "photos/a/b/with space.webp"})
            QVERIFY2(isStillWebp(in_ + '/' + result), result);
        QVERIFY(!QFileInfo::exists(in_ + "/photos/a/b/broken.webp"));
        // The merged report: every input once, totals those of the files.
        const QJsonObject report =
            QJsonDocument::fromJson(head(in_ + "/report.json", 1 << 20)).object();
        const QJsonObject totals = report["totals"].toObject();
        QCOMPARE(report["inputs"].toArray().size(), 4);
        QCOMPARE(totals["converted"].toInt() * 10 + totals["failed"].toInt(), 31);
        qint64 out = 0;
        for (const QString& input : inputs.mid(0, 3))
            out += QFileInfo(in_ + '/' + input.section('.', 0, -2) + ".webp").size();
        QCOMPARE(totals["outputBytes"].toInteger(), out);
    }

    void interruptLeavesNoPartialFile_data() {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<bool>("wrapper"); // the tool a script that waits for its own child
        QTest::newRow("SIGINT") << int(SIGINT) << false;
        QTest::newRow("SIGTERM") << int(SIGTERM) << false;
        QTest::newRow("SIGHUP") << int(SIGHUP) << false;
        QTest::newRow("SIGINT, wrapper") << int(SIGINT) << true;
        // Killed outright, the converter cannot stop its tools itself; they must still not go
        // on writing into a work folder the next start removes, nor what they started.
        QTest::newRow("SIGKILL") << int(SIGKILL) << false;
        QTest::newRow("SIGKILL, wrapper") << int(SIGKILL) << true;
    }

    // Stand-in tools write a partial output, note their process (a wrapper: its child's) and
    // that output in <tools>/started, then hang.
    void interruptLeavesNoPartialFile() {
        QFETCH(int, signalNumber);
        QFETCH(bool, wrapper);
        // They ignore the polite request to stop: the grace period ends them. A wrapper's own
        // child must end with it.
        useFakeTools(QString("trap '' TERM\nfor last; do :; done\nprintf partial > \"$last\"\n") +
                     (wrapper
                          ? "sleep 60 &\necho \"$! $last\" >> \"$(dirname \"$0\")/started\"\nwait"
                          : "echo \"$$ $last\" >> \"$(dirname \"$0\")/started\"\nsleep 60 & wait"));
        for (const char* name : {"a.png", "b.png", "c.png"})
            make(name);
        QProcess process;
        process.start(TESSARO_CONVERT_BINARY, {"--to", "webp", "-j", "2", "-o", out_, in_});
        auto started = [&] { return QString(head(base_ + "/tools/started", 4096)).split('\n'); };
        QTRY_COMPARE_WITH_TIMEOUT(started().size(), 3, 20000); // two lines and the end
        QStringList pids, partials;
        for (const QString& line : started().mid(0, 2)) {
            pids << line.section(' ', 0, 0);
            partials << line.section(' ', 1);
            QVERIFY(QFileInfo::exists(partials.last()) && processAlive(pids.last().toLongLong()));
        }

        QCOMPARE(::kill(static_cast<pid_t>(process.processId()), signalNumber), 0);
        QVERIFY(process.waitForFinished(30000));
        for (const QString& pid : pids)
            QTRY_VERIFY2_WITH_TIMEOUT(!processAlive(pid.toLongLong()), qPrintable(pid), 5000);
        if (signalNumber == SIGKILL)
            return;
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 130);
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        QVERIFY2(out.contains("Cancelled.") && out.contains("Converted 0, failed 0, skipped 3"),
                 qPrintable(out));
        for (const QString& partial : partials)
            QVERIFY2(!QFileInfo::exists(partial), qPrintable(partial));
        QCOMPARE(filesBelow(out_) + filesBelow(dataHome_), QStringList{});
    }

    // Every name that shows up in the output folder during a run, even for a moment, is a
    // result: a kill at any moment must find nothing hidden or half-made there.
    void onlyResultsEverAppearInTheOutputFolder() {
        for (const char* name : {"a.png", "b.jpg=jpeg", "c.gif=gif"})
            make(name);
        QVERIFY(QDir().mkpath(out_));
        const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        QVERIFY(watch >= 0);
        const auto closeWatch = qScopeGuard([watch] { ::close(watch); });
        QVERIFY(::inotify_add_watch(watch, QFile::encodeName(out_).constData(),
                                    IN_CREATE | IN_MOVED_TO) >= 0);
        QCOMPARE(run({"--to", "webp", "-o", out_, in_}), 0);
        QStringList seen;
        alignas(inotify_event) char buffer[16384];
        for (ssize_t n; (n = ::read(watch, buffer, sizeof buffer)) > 0;) {
            for (const char* p = buffer; p < buffer + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(p);
                if (event->len > 0)
                    seen << QFile::decodeName(event->name);
                p += sizeof(inotify_event) + event->len;
            }
        }
        seen.sort();
        QCOMPARE(seen, (QStringList{"a.webp", "b.webp", "c.webp"}));
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
