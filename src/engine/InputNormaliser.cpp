#include "InputNormaliser.h"

#include <QBuffer>
#include <QColorSpace>
#include <QDebug>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTransform>

#include "ResizeStep.h"

namespace InputNormaliser {

namespace {

// An 8000x8000 RGBA image needs ~245 MiB; Qt's default limit would refuse the largest
// images intake accepts.
constexpr int AllocationLimitMiB = 1024;
// Qt maps PNG "quality" 100 to zlib level 0: a work copy is read once, soon, from disk cache.
constexpr int StoredPngQuality = 100;

// Orientation comes from the metadata step, the one reader of EXIF: Qt must not apply it too.
QImage readImage(const QString& path) {
    QImageReader::setAllocationLimit(AllocationLimitMiB);
    QImageReader reader(path);
    reader.setAutoTransform(false);
    QImage image = reader.read();
    // A work file must not carry a profile of its own: profiles travel by the metadata step.
    image.setColorSpace(QColorSpace());
    return image;
}

} // namespace

QImage flattenOntoWhite(const QImage& image) {
    if (!image.hasAlphaChannel())
        return image;
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.setDevicePixelRatio(image.devicePixelRatio());
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    return flat;
}

namespace {

// Work files go into a run's private folder under names no one else uses, so a plain write
// is safe there and spares the fsync an atomic save would cost on every image.
bool writeImage(const QImage& image, const QString& path, const char* format, int quality) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QImageWriter writer(&file, format);
    if (quality >= 0)
        writer.setQuality(quality);
    const bool written = writer.write(image) && file.flush();
    file.close();
    if (!written)
        file.remove();
    return written;
}

quint16 bigEndian16(const QByteArray& bytes, qsizetype at) {
    return static_cast<quint16>((static_cast<uchar>(bytes[at]) << 8) |
                                static_cast<uchar>(bytes[at + 1]));
}

} // namespace

bool hasJpegContent(const QString& path) {
    QFile file(path);
    const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(2) : QByteArray();
    if (head.size() < 2 || static_cast<unsigned char>(head[0]) != 0xFF ||
        static_cast<unsigned char>(head[1]) != 0xD8)
        return false;
    qInfo().noquote() << "The image is in JPEG/JFIF format.";
    return true;
}

bool isAnimatedWebp(const QString& path) {
    QFile file(path);
    const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(21) : QByteArray();
    // RIFF <size> WEBP VP8X <size> <flags>: flag 0x02 marks an animation.
    return head.size() == 21 && head.startsWith("RIFF") && head.mid(8, 8) == "WEBPVP8X" &&
           (static_cast<uchar>(head[20]) & 0x02) != 0;
}

bool toolReadsJpeg(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // The frame header comes before the first scan; metadata segments ahead of it can be
    // large (previews, profiles), so they are skipped by their lengths, not read.
    if (file.read(2) != QByteArray("\xFF\xD8", 2))
        return false;
    for (;;) {
        QByteArray marker = file.read(2);
        if (marker.size() < 2 || static_cast<uchar>(marker[0]) != 0xFF)
            return false;
        uchar code = static_cast<uchar>(marker[1]);
        while (code == 0xFF) { // fill bytes
            const QByteArray next = file.read(1);
            if (next.isEmpty())
                return false;
            code = static_cast<uchar>(next[0]);
        }
        if (code == 0xD8 || (code >= 0xD0 && code <= 0xD7) || code == 0x01)
            continue; // markers without a length
        const QByteArray lengthBytes = file.read(2);
        if (lengthBytes.size() < 2)
            return false;
        const quint16 length = bigEndian16(lengthBytes, 0);
        if (length < 2)
            return false;
        const bool frame =
            code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
        if (frame) {
            const QByteArray header = file.read(6);
            if (header.size() < 6)
                return false;
            const int precision = static_cast<uchar>(header[0]);
            const int components = static_cast<uchar>(header[5]);
            const bool huffman = code == 0xC0 || code == 0xC1 || code == 0xC2;
            return huffman && precision == 8 && (components == 1 || components == 3);
        }
        if (code == 0xDA || code == 0xD9)
            return false; // a scan before any frame header
        if (!file.seek(file.pos() + length - 2))
            return false;
    }
}

QImage upright(const QImage& image, int orientation) {
    QTransform turn;
    switch (orientation) {
    case 2:
        return image.mirrored(true, false);
    case 3:
        return image.mirrored(true, true);
    case 4:
        return image.mirrored(false, true);
    case 5: // transpose
        return image.transformed(turn.rotate(90)).mirrored(true, false);
    case 6:
        return image.transformed(turn.rotate(90));
    case 7: // transverse
        return image.transformed(turn.rotate(90)).mirrored(false, true);
    case 8:
        return image.transformed(turn.rotate(270));
    default:
        return image;
    }
}

QImage readUpright(const QString& path, int orientation, int maxSide) {
    return ResizeStep::resizedToFit(upright(readImage(path), orientation), maxSide);
}

QString writeLosslessCopy(const QString& sourcePath, const QString& copyStem, int orientation,
                          int maxSide) {
    const QImage image = readUpright(sourcePath, orientation, maxSide);
    if (image.isNull()) {
        qInfo().noquote() << "Failed to save image as PNG.";
        return {};
    }
    const bool alpha = image.hasAlphaChannel();
    const QString path = copyStem + (alpha ? QStringLiteral(".png") : QStringLiteral(".ppm"));
    const bool written = alpha ? writeImage(image, path, "png", StoredPngQuality)
                               : writeImage(image, path, "ppm", -1);
    if (!written) {
        qInfo().noquote() << "Failed to save image as PNG.";
        return {};
    }
    return path;
}

QByteArray encodeJpeg(const QImage& flat, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(qBound(0, quality, 100));
    return writer.write(flat) ? bytes : QByteArray();
}

bool writeBytes(const QByteArray& bytes, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    if (!written)
        file.remove();
    return written;
}

bool writePng(const QImage& image, const QString& path) {
    return !image.isNull() && writeImage(image, path, "png", -1);
}

} // namespace InputNormaliser
