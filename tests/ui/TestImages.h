#pragma once
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <QTest>

// Small real images for the window tests.
namespace TestImages {

// Writes a w x h image in the format the file name's extension names (or `format`).
inline QString write(const QString& path, int w = 8, int h = 8, const char* format = nullptr,
                     int dotsPerInch = 0) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(40 + (w % 200), 120, 200));
    if (dotsPerInch > 0) {
        const int perMeter = qRound(dotsPerInch / 0.0254);
        image.setDotsPerMeterX(perMeter);
        image.setDotsPerMeterY(perMeter);
    }
    const bool ok = image.save(path, format);
    if (!ok)
        qWarning("cannot write test image %s", qPrintable(path));
    return path;
}

// Writes bytes as they are (corrupt images, text files).
inline QString writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

// The bytes of a small image, for making many copies quickly.
inline QByteArray bytesOf(const char* format, int w = 4, int h = 4) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

} // namespace TestImages
