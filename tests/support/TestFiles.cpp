#include "TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>

#include <cmath>
#include <csignal>

namespace TestFiles {

QString writeImage(const QString& path, const char* format, QSize size, bool withAlpha) {
    QImage image(size, withAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    image.fill(withAlpha ? QColor(0, 0, 0, 0) : QColor(Qt::white));
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, size.width() / 2, size.height()), QColor(200, 40, 40));
    painter.setBrush(QColor(30, 90, 220));
    painter.drawEllipse(QRect(QPoint(size.width() / 4, size.height() / 4), size / 2));
    painter.end();
    image.save(path, format, 90);
    return path;
}

QString writePhoto(const QString& path, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator grain(7);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const int wave = int(60 * std::sin(x / 23.0) * std::cos(y / 17.0));
            const int noise = int(grain.bounded(40));
            image.setPixel(x, y,
                           qRgb(qBound(0, 120 + wave + noise, 255),
                                qBound(0, x * 255 / size.width() + noise / 2, 255),
                                qBound(0, y * 255 / size.height() - noise / 2 + 20, 255)));
        }
    }
    image.save(path, "png");
    return path;
}

QString writeAnimatedGif(const QString& path) {
    // 2x2 pixels, a red and blue palette, looping; each frame 100 ms of one colour in 3-bit
    // LZW codes with a clear code before every pixel, so the table never grows.
    const auto frame = [](const char* data) {
        return QByteArray::fromHex(QByteArray("21f904040a0000002c0000000002000200000204") + data);
    };
    return writeBytes(path, "GIF89a" + QByteArray::fromHex("02000200800000ff00000000ff") +
                                QByteArray::fromHex("21ff0b") + "NETSCAPE2.0" +
                                QByteArray::fromHex("0301000000") + frame("0441100500") +
                                frame("0cc3300500") + ";");
}

QString writeWebp(const QString& path) {
    const QString png = path + QStringLiteral(".src.png");
    writeImage(png, "png");
    QProcess::execute(realToolsDirectory() + QStringLiteral("/cwebp-x8664"),
                      {QStringLiteral("-quiet"), png, QStringLiteral("-o"), path});
    QFile::remove(png);
    return path;
}

QString writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

QByteArray head(const QString& path, int count) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(count) : QByteArray();
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

QString stemOfBytes(int bytes) {
    return QString(bytes % 2, u'a') + QString(bytes / 2, QChar(0xe9));
}

int permissionBits(const QString& path) {
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

bool processAlive(qint64 pid) {
    if (pid <= 0 || ::kill(static_cast<pid_t>(pid), 0) != 0)
        return false;
    const QByteArray stat = head(QStringLiteral("/proc/%1/stat").arg(pid), 4096);
    const qsizetype close = stat.lastIndexOf(')');
    return close < 0 || stat.mid(close + 2, 1) != "Z";
}

namespace {
qint64 statusBytes(const QByteArray& field) {
    const QByteArray status = head(QStringLiteral("/proc/self/status"), 1 << 16);
    const qsizetype at = status.indexOf('\n' + field + ':');
    const QByteArray kilobytes = status.mid(at + field.size() + 2).split('\n')[0].trimmed();
    return at < 0 ? -1 : kilobytes.split(' ')[0].toLongLong() * 1024;
}
} // namespace

qint64 startPeakMemory() {
    writeBytes(QStringLiteral("/proc/self/clear_refs"), "5");
    return statusBytes("VmRSS");
}

qint64 peakMemory() {
    return statusBytes("VmHWM");
}

bool isPng(const QString& path) {
    return head(path, 8) == QByteArray::fromHex("89504e470d0a1a0a");
}

bool isJpeg(const QString& path) {
    return head(path, 3) == QByteArray::fromHex("ffd8ff");
}

bool isWebp(const QString& path) {
    const QByteArray h = head(path, 12);
    return h.startsWith("RIFF") && h.mid(8, 4) == "WEBP";
}

bool isAnimatedWebp(const QString& path) {
    const QByteArray all = head(path, 1 << 24);
    return isWebp(path) && all.contains("ANIM") && all.count("ANMF") >= 2;
}

void writeFakeTools(const QString& folder, const QString& scriptBody) {
    QDir().mkpath(folder);
    for (const char* name :
         {"cwebp", "dwebp", "gif2webp", "cwebp-x8664", "dwebp-x8664", "gif2webp-x8664"}) {
        const QString path = writeBytes(folder + u'/' + QLatin1String(name),
                                        ("#!/bin/sh\n" + scriptBody + u'\n').toUtf8());
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeUser);
    }
}

QString realToolsDirectory() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/tessaro-pro/tools"));
}

} // namespace TestFiles
