#include "CliRunner.h"
#include "GifWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace TestFiles;

namespace {

QString text(const QByteArray& bytes) {
    return QString::fromUtf8(bytes);
}

// Decimal control characters other than the line feed.
bool hasControlCharacters(const QByteArray& bytes) {
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && u != '\n') || u == 0x7f)
            return true;
    }
    return false;
}

QJsonObject inputEntry(const QJsonArray& inputs, const QString& path) {
    for (const QJsonValue& value : inputs) {
        if (value.toObject().value("path").toString() == path)
            return value.toObject();
    }
    return {};
}

} // namespace

class ConvertCliTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString in_;
    QString out_;
    QString dataHome_;

    CliRunner runner() const { return CliRunner(dataHome_); }
    QString input(const QString& name) const { return QDir(in_).filePath(name); }
    QString output(const QString& name) const { return QDir(out_).filePath(name); }

private Q_SLOTS:
    void init();
    void eachTargetEndToEnd_data();
    void eachTargetEndToEnd();
    void mixedGifAndPngFolderToWebp();
    void relativePathsAndDefaultOutputFolder();
    void skippedInputsExitOne();
    void usageErrors_data();
    void usageErrors();
    void nothingToConvert_data();
    void nothingToConvert();
    void helpAndVersion();
    void jsonMatchesTheFilesOnDisk();
    void jsonStaysValidWhenEveryFileFails();
    void existingOutputIsNeverReplaced();
    void pipedOutputHasNoControlCharacters();
    void quietPrintsOnlyErrors();
    void keepDateSetsTheSourceCreationDate();
    void interruptLeavesNoPartialFile_data();
    void interruptLeavesNoPartialFile();
    void toolTimeLimitFailsTheJob();
};

void ConvertCliTest::init() {
    QVERIFY(dir_.isValid());
    // A fresh folder set per test function.
    const QString base = dir_.filePath(QString::fromLatin1(QTest::currentTestFunction()) + '-' +
                                       QString::fromLatin1(QTest::currentDataTag()));
    in_ = base + "/in";
    out_ = base + "/out";
    dataHome_ = base + "/data";
    QVERIFY(QDir().mkpath(in_));
    QVERIFY(QDir().mkpath(dataHome_));
}

void ConvertCliTest::eachTargetEndToEnd_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("inputName");
    QTest::addColumn<QString>("inputKind");
    QTest::addColumn<QString>("outputName");
    QTest::addColumn<QString>("outputKind");
    QTest::newRow("png to webp") << "webp"
                                 << "photo.png"
                                 << "png"
                                 << "photo.webp"
                                 << "webp";
    QTest::newRow("jpg to webp") << "webp"
                                 << "photo.jpg"
                                 << "jpeg"
                                 << "photo.webp"
                                 << "webp";
    QTest::newRow("JPEG to webp") << "webp"
                                  << "shot.JPEG"
                                  << "jpeg"
                                  << "shot.webp"
                                  << "webp";
    QTest::newRow("jpeg content named png") << "webp"
                                            << "camera.png"
                                            << "jpeg"
                                            << "camera.webp"
                                            << "webp";
    QTest::newRow("gif to animated webp") << "webp"
                                          << "anim.gif"
                                          << "gif"
                                          << "anim.webp"
                                          << "animated";
    QTest::newRow("webp to jpg") << "jpg"
                                 << "pic.webp"
                                 << "webp"
                                 << "pic.jpg"
                                 << "jpeg";
    QTest::newRow("WEBP to png") << "png"
                                 << "pic.WEBP"
                                 << "webp"
                                 << "pic.png"
                                 << "png";
}

void ConvertCliTest::eachTargetEndToEnd() {
    QFETCH(QString, target);
    QFETCH(QString, inputName);
    QFETCH(QString, inputKind);
    QFETCH(QString, outputName);
    QFETCH(QString, outputKind);
    const QString source = input(inputName);
    if (inputKind == "png")
        QVERIFY(writeImage(source, "PNG"));
    else if (inputKind == "jpeg")
        QVERIFY(writeImage(source, "JPEG"));
    else if (inputKind == "webp")
        QVERIFY(writeWebp(source));
    else
        QVERIFY(write(source, GifWriter::twoFrameGif(16, 12)));

    const CliResult result = runner().run({"--to", target, source, "-o", out_});
    QVERIFY2(result.finished, result.err.constData());
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(text(result.out).contains("Converted 1, failed 0, skipped 0"), result.out.constData());
    QCOMPARE(QDir(out_).entryList(QDir::Files | QDir::Hidden), QStringList{outputName});

    const QByteArray bytes = read(output(outputName));
    if (outputKind == "webp") {
        QVERIFY(isWebp(bytes));
        QVERIFY(!bytes.contains("ANIM"));
    } else if (outputKind == "animated") {
        QVERIFY(isAnimatedWebp(bytes));
    } else if (outputKind == "jpeg") {
        QVERIFY(isJpeg(bytes));
    } else {
        QVERIFY(isPng(bytes));
    }
    const QSize expected = outputKind == "animated" ? QSize(16, 12) : QSize(64, 48);
    QCOMPARE(QImageReader(output(outputName)).size(), expected);
}

void ConvertCliTest::mixedGifAndPngFolderToWebp() {
    QVERIFY(write(input("anim.gif"), GifWriter::twoFrameGif(10, 10)));
    QVERIFY(writeImage(input("still.png"), "PNG"));
    QVERIFY(writeImage(input("photo.JPG"), "JPEG"));
    QVERIFY(write(input("notes.txt"), "not an image"));
    QVERIFY(QDir().mkpath(input("sub")));
    QVERIFY(writeImage(input("sub/inner.png"), "PNG"));
    const QString loose = dir_.filePath("loose.GIF");
    QVERIFY(write(loose, GifWriter::twoFrameGif(8, 8)));

    const CliResult result = runner().run({"-t", "webp", in_, loose, "-o", out_, "-j", "2"});
    QVERIFY(result.finished);
    QCOMPARE(result.exitCode, 0);
    QStringList names = QDir(out_).entryList(QDir::Files);
    names.sort();
    QCOMPARE(names, (QStringList{"anim.webp", "loose.webp", "photo.webp", "still.webp"}));
    QVERIFY(isAnimatedWebp(read(output("anim.webp"))));
    QVERIFY(isAnimatedWebp(read(output("loose.webp"))));
    QVERIFY(isWebp(read(output("still.webp"))));
    QVERIFY(!read(output("still.webp")).contains("ANIM"));
    QVERIFY(isWebp(read(output("photo.webp"))));
}

void ConvertCliTest::relativePathsAndDefaultOutputFolder() {
    QVERIFY(writeImage(input("photo.png"), "PNG"));
    const CliResult result = runner().run({"--to=webp", "--quality=75", "photo.png"}, in_);
    QCOMPARE(result.exitCode, 0);
    QVERIFY(isWebp(read(input("photo.webp"))));
}

void ConvertCliTest::skippedInputsExitOne() {
    QVERIFY(writeImage(input("good.png"), "PNG"));
    QVERIFY(writeWebp(input("already.webp")));
    QVERIFY(write(input("notes.txt"), "text"));
    const QStringList skipped{input("already.webp"), input("notes.txt"), input("missing.png")};
    const CliResult result = runner().run(QStringList{"--to", "webp", input("good.png")} + skipped +
                                          QStringList{"-o", out_});
    QCOMPARE(result.exitCode, 1);
    QVERIFY(isWebp(read(output("good.webp"))));
    const QStringList lines = text(result.err).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), skipped.size());
    for (int i = 0; i < skipped.size(); ++i)
        QVERIFY2(lines.at(i).contains(skipped.at(i)), qPrintable(lines.at(i)));
    QVERIFY(lines.at(0).contains("\"webp\""));
    QVERIFY(text(result.out).contains("Converted 1, failed 0, skipped 3"));
}

void ConvertCliTest::usageErrors_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("quality 101") << QStringList{"-q", "101", "--to", "webp", "IN"} << "101";
    QTest::newRow("quality word") << QStringList{"-q", "high", "--to", "webp", "IN"} << "high";
    QTest::newRow("quality fraction") << QStringList{"-q", "7.5", "-t", "webp", "IN"} << "7.5";
    QTest::newRow("jobs 0") << QStringList{"-j", "0", "--to", "webp", "IN"} << "--jobs";
    QTest::newRow("jobs too many") << QStringList{"-j", "1000", "--to", "webp", "IN"} << "1000";
    QTest::newRow("to gif") << QStringList{"--to", "gif", "IN"} << "gif";
    QTest::newRow("unknown option")
        << QStringList{"--frobnicate", "--to", "webp", "IN"} << "frobnicate";
    QTest::newRow("missing to") << QStringList{"IN"} << "--to";
    QTest::newRow("missing value") << QStringList{"IN", "--to"} << "to";
    QTest::newRow("no path") << QStringList{"--to", "webp"} << "PATH";
}

void ConvertCliTest::usageErrors() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QVERIFY(writeImage(input("photo.png"), "PNG"));
    arguments.replaceInStrings(QStringLiteral("IN"), input("photo.png"));
    const CliResult result = runner().run(arguments + QStringList{"-o", out_});
    QCOMPARE(result.exitCode, 2);
    QVERIFY(result.out.isEmpty());
    const QString err = text(result.err);
    const QString first = err.section('\n', 0, 0);
    QVERIFY2(first.startsWith("tessaro-convert: ") && first.contains(message), qPrintable(first));
    QVERIFY(err.section('\n', 1, 1).startsWith("Usage: tessaro-convert"));
    QVERIFY(!QFileInfo::exists(out_));
}

void ConvertCliTest::nothingToConvert_data() {
    QTest::addColumn<QString>("what");
    QTest::newRow("only a text file") << "text";
    QTest::newRow("folder without matching files") << "folder";
    QTest::newRow("output under a file") << "output";
}

void ConvertCliTest::nothingToConvert() {
    QFETCH(QString, what);
    QVERIFY(write(input("notes.txt"), "text"));
    QVERIFY(writeImage(input("photo.png"), "PNG"));
    QStringList arguments{"--to", "webp", "-o", out_};
    if (what == "text")
        arguments << input("notes.txt");
    if (what == "folder")
        arguments = QStringList{"--to", "jpg", "-o", out_, in_};
    if (what == "output")
        arguments =
            QStringList{"--to", "webp", "-o", input("notes.txt") + "/out", input("photo.png")};
    const CliResult result = runner().run(arguments);
    QCOMPARE(result.exitCode, 2);
    QVERIFY(text(result.err).contains("tessaro-convert: "));
    if (what == "output")
        QVERIFY(text(result.err).contains(input("notes.txt")));
    else
        QVERIFY(text(result.err).contains("nothing to convert"));
    QCOMPARE(filesBelow(out_), QStringList{});
}

void ConvertCliTest::helpAndVersion() {
    const CliResult help = runner().run({"--help"});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.startsWith("Usage: tessaro-convert [options] PATH..."));
    for (const char* option : {"--to", "--quality", "--output", "--keep-date", "--jobs", "--json",
                               "--quiet", "--version"})
        QVERIFY2(help.out.contains(option), option);
    const CliResult version = runner().run({"--version"});
    QCOMPARE(version.exitCode, 0);
    QVERIFY(version.out.startsWith("tessaro-convert "));
}

void ConvertCliTest::jsonMatchesTheFilesOnDisk() {
    QVERIFY(writeImage(input("a.png"), "PNG"));
    QVERIFY(writeImage(input("b.jpg"), "JPEG"));
    QVERIFY(write(input("broken.png"), "this is no picture"));
    QVERIFY(write(input("notes.txt"), "text"));
    const QStringList paths{input("a.png"), input("b.jpg"), input("broken.png"),
                            input("notes.txt")};
    const CliResult result =
        runner().run(QStringList{"--json", "--to", "webp", "-o", out_} + paths);
    QCOMPARE(result.exitCode, 1);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(result.out, &error);
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
    const QJsonArray inputs = document.object().value("inputs").toArray();
    QCOMPARE(inputs.size(), 4);
    for (int i = 0; i < paths.size(); ++i)
        QCOMPARE(inputs.at(i).toObject().value("path").toString(), paths.at(i));

    qint64 outputTotal = 0;
    for (const char* name : {"a.png", "b.jpg"}) {
        const QJsonObject entry = inputEntry(inputs, input(name));
        QCOMPARE(entry.value("state").toString(), "converted");
        const QString produced = entry.value("output").toString();
        QCOMPARE(QFileInfo(produced).absolutePath(), QFileInfo(out_).absoluteFilePath());
        QVERIFY(isWebp(read(produced)));
        QCOMPARE(entry.value("outputBytes").toInteger(), QFileInfo(produced).size());
        QCOMPARE(entry.value("inputBytes").toInteger(), QFileInfo(input(name)).size());
        QVERIFY(entry.value("ms").toInteger() >= 0);
        QCOMPARE(entry.value("reason").toString(), QString());
        outputTotal += QFileInfo(produced).size();
    }
    const QJsonObject broken = inputEntry(inputs, input("broken.png"));
    QCOMPARE(broken.value("state").toString(), "failed");
    QVERIFY(broken.value("reason").toString().contains(input("broken.png")));
    QCOMPARE(broken.value("output").toString(), QString());
    QCOMPARE(broken.value("outputBytes").toInteger(), 0);
    QCOMPARE(inputEntry(inputs, input("notes.txt")).value("state").toString(), "skipped");

    const QJsonObject totals = document.object().value("totals").toObject();
    QCOMPARE(totals.value("converted").toInt(), 2);
    QCOMPARE(totals.value("failed").toInt(), 1);
    QCOMPARE(totals.value("skipped").toInt(), 1);
    QCOMPARE(totals.value("outputBytes").toInteger(), outputTotal);
    QCOMPARE(totals.value("inputBytes").toInteger(),
             QFileInfo(input("a.png")).size() + QFileInfo(input("b.jpg")).size());
    QStringList written = QDir(out_).entryList(QDir::Files | QDir::Hidden);
    written.sort();
    QCOMPARE(written, (QStringList{"a.webp", "b.webp"}));
}

void ConvertCliTest::jsonStaysValidWhenEveryFileFails() {
    QVERIFY(write(input("one.png"), "garbage"));
    QVERIFY(write(input("two.gif"), "GIF89a but not really"));
    const CliResult result =
        runner().run({"--json", "--to", "webp", "-o", out_, input("one.png"), input("two.gif")});
    QCOMPARE(result.exitCode, 1);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(result.out, &error);
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
    const QJsonObject totals = document.object().value("totals").toObject();
    QCOMPARE(totals.value("failed").toInt(), 2);
    QCOMPARE(totals.value("converted").toInt(), 0);
    QCOMPARE(QDir(out_).entryList(QDir::Files | QDir::Hidden), QStringList{});
}

void ConvertCliTest::existingOutputIsNeverReplaced() {
    QVERIFY(writeImage(input("photo.png"), "PNG"));
    QVERIFY(QDir().mkpath(out_));
    QVERIFY(write(output("photo.webp"), "mine"));
    const CliResult result =
        runner().run({"--json", "--to", "webp", "-o", out_, input("photo.png")});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(read(output("photo.webp")), QByteArray("mine"));
    QVERIFY(isWebp(read(output("photo(1).webp"))));
    const QJsonArray inputs =
        QJsonDocument::fromJson(result.out).object().value("inputs").toArray();
    QCOMPARE(inputs.at(0).toObject().value("output").toString(), output("photo(1).webp"));
}

void ConvertCliTest::pipedOutputHasNoControlCharacters() {
    QVERIFY(writeImage(input("a.png"), "PNG"));
    QVERIFY(writeImage(input("b.png"), "PNG"));
    QVERIFY(write(input("broken.png"), "nope"));
    QVERIFY(write(input("notes.txt"), "text"));
    const CliResult result = runner().run({"--to", "webp", "-o", out_, in_, input("notes.txt")});
    QCOMPARE(result.exitCode, 1);
    QVERIFY(text(result.out).contains("Converted 2, failed 1, skipped 1"));
    QVERIFY(text(result.out).contains(input("broken.png")));
    QVERIFY2(!hasControlCharacters(result.out), result.out.constData());
    QVERIFY2(!hasControlCharacters(result.err), result.err.constData());
}

void ConvertCliTest::quietPrintsOnlyErrors() {
    QVERIFY(writeImage(input("a.png"), "PNG"));
    const CliResult clean = runner().run({"--quiet", "--to", "webp", "-o", out_, input("a.png")});
    QCOMPARE(clean.exitCode, 0);
    QVERIFY(clean.out.isEmpty());
    QVERIFY(clean.err.isEmpty());
    QVERIFY(write(input("broken.png"), "nope"));
    const CliResult failing =
        runner().run({"--quiet", "--to", "webp", "-o", out_, input("broken.png")});
    QCOMPARE(failing.exitCode, 1);
    QVERIFY(failing.out.isEmpty());
    QVERIFY(text(failing.err).contains(input("broken.png")));
}

void ConvertCliTest::keepDateSetsTheSourceCreationDate() {
    QVERIFY(writeImage(input("a.png"), "PNG"));
    const QDateTime born = QFileInfo(input("a.png")).birthTime();
    if (!born.isValid())
        QSKIP("This file system does not record creation times");
    const CliResult kept =
        runner().run({"--keep-date", "--to", "webp", "-o", out_ + "/kept", input("a.png")});
    QCOMPARE(kept.exitCode, 0);
    const CliResult plain = runner().run({"--to", "webp", "-o", out_ + "/plain", input("a.png")});
    QCOMPARE(plain.exitCode, 0);
    QCOMPARE(QFileInfo(out_ + "/kept/a.webp").lastModified(), born);
    QVERIFY(QFileInfo(out_ + "/plain/a.webp").lastModified() > born);
}

void ConvertCliTest::interruptLeavesNoPartialFile_data() {
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGTERM") << int(SIGTERM);
}

void ConvertCliTest::interruptLeavesNoPartialFile() {
    QFETCH(int, signalNumber);
    const QString tools = dir_.filePath(QStringLiteral("tools-%1").arg(signalNumber));
    QVERIFY(QDir().mkpath(tools));
    QVERIFY(writeSlowTool(tools, "cwebp"));
    for (const char* name : {"a.png", "b.png", "c.png"})
        QVERIFY(writeImage(input(name), "PNG"));

    QProcess process;
    CliRunner cli = runner();
    cli.environment().insert("TESSARO_TOOLS_DIR", tools);
    process.setProcessEnvironment(cli.environment());
    process.start(TESSARO_CONVERT_BINARY, {"--to", "webp", "-j", "2", "-o", out_, in_});
    QVERIFY(process.waitForStarted(10000));
    const QString started = QDir(tools).filePath("started");
    QTRY_VERIFY_WITH_TIMEOUT(read(started).count('\n') == 2, 20000);
    const QStringList partials = text(read(started)).split('\n', Qt::SkipEmptyParts);
    for (const QString& partial : partials)
        QVERIFY(QFileInfo::exists(partial));

    QCOMPARE(::kill(static_cast<pid_t>(process.processId()), signalNumber), 0);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 130);
    const QString out = text(process.readAllStandardOutput());
    QVERIFY2(out.contains("Cancelled.") && out.contains("Converted 0, failed 0, skipped 3"),
             qPrintable(out));
    for (const QString& partial : partials)
        QVERIFY2(!QFileInfo::exists(partial), qPrintable(partial));
    QCOMPARE(filesBelow(out_), QStringList{});
    QCOMPARE(filesBelow(dataHome_), QStringList{});
}

void ConvertCliTest::toolTimeLimitFailsTheJob() {
    const QString tools = dir_.filePath("tools-timeout");
    QVERIFY(QDir().mkpath(tools));
    QVERIFY(writeSlowTool(tools, "cwebp"));
    QVERIFY(writeImage(input("a.png"), "PNG"));
    CliRunner cli = runner();
    cli.environment().insert("TESSARO_TOOLS_DIR", tools);
    cli.environment().insert("TESSARO_TOOL_TIMEOUT_MS", "300");
    const CliResult result = cli.run({"--to", "webp", "-o", out_, input("a.png")});
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(text(result.out).contains("did not finish"), result.out.constData());
    QCOMPARE(filesBelow(out_), QStringList{});
    QCOMPARE(filesBelow(dataHome_), QStringList{});
}

QTEST_GUILESS_MAIN(ConvertCliTest)
#include "ConvertCliTest.moc"
