#include "CliRunner.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

CliRunner::CliRunner(const QString& dataHome)
    : environment_(QProcessEnvironment::systemEnvironment()) {
    environment_.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    environment_.remove(QStringLiteral("TESSARO_TOOLS_DIR"));
    environment_.remove(QStringLiteral("TESSARO_TOOL_TIMEOUT_MS"));
}

CliResult CliRunner::run(const QStringList& arguments, const QString& workingDirectory) const {
    QProcess process;
    process.setProcessEnvironment(environment_);
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    process.start(QStringLiteral(TESSARO_CONVERT_BINARY), arguments);
    CliResult result;
    if (!process.waitForStarted(10000))
        return result;
    result.finished = process.waitForFinished(120000);
    if (!result.finished) {
        process.kill();
        process.waitForFinished(5000);
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

namespace TestFiles {

QImage photo(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int r = 255 * x / qMax(1, width - 1);
            const int g = 255 * y / qMax(1, height - 1);
            const int b = (x * y / 7 + (x ^ y)) & 0xff;
            image.setPixel(x, y, qRgb(r, g, b));
        }
    }
    return image;
}

bool write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeImage(const QString& path, const char* format, int width, int height) {
    return photo(width, height).save(path, format);
}

bool writeWebp(const QString& path, int width, int height) {
    const QString cwebp = QStandardPaths::findExecutable(QStringLiteral("cwebp"));
    const QString png = path + QStringLiteral(".source.png");
    if (cwebp.isEmpty() || !writeImage(png, "PNG", width, height))
        return false;
    const int status =
        QProcess::execute(cwebp, {QStringLiteral("-quiet"), png, QStringLiteral("-o"), path});
    QFile::remove(png);
    return status == 0 && isWebp(read(path));
}

bool isPng(const QByteArray& bytes) {
    return bytes.startsWith("\x89PNG\r\n\x1a\n");
}

bool isJpeg(const QByteArray& bytes) {
    return bytes.startsWith("\xff\xd8\xff");
}

bool isWebp(const QByteArray& bytes) {
    return bytes.size() > 12 && bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WEBP";
}

bool isAnimatedWebp(const QByteArray& bytes) {
    return isWebp(bytes) && bytes.contains("ANIM") && bytes.count("ANMF") >= 2;
}

QStringList filesBelow(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    return files;
}

bool writeSlowTool(const QString& folder, const QString& tool) {
    const QByteArray script = "#!/bin/sh\n"
                              "for last; do :; done\n"
                              "printf partial > \"$last\"\n"
                              "echo \"$last\" >> \"$(dirname \"$0\")/started\"\n"
                              "exec sleep 60\n";
    for (const QString& name : {tool, tool + QStringLiteral("-x8664")}) {
        const QString path = QDir(folder).filePath(name);
        if (!write(path, script))
            return false;
        if (!QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            return false;
    }
    return true;
}

} // namespace TestFiles
