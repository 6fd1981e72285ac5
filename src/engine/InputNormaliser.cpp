#include "InputNormaliser.h"

#include "OutputPlacement.h"

#include <QBuffer>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

namespace InputNormaliser {

namespace {

constexpr int JpegQuality = 90;
// An 8000x8000 RGBA image needs ~245 MiB; Qt's default limit would refuse the largest
// images intake accepts.
constexpr int AllocationLimitMiB = 1024;

QImage readImage(QImageReader& reader) {
    QImageReader::setAllocationLimit(AllocationLimitMiB);
    reader.setAutoTransform(true); // apply EXIF orientation before the tool sees pixels
    return reader.read();
}

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

// Copies go into a run's private work folder under names no one else uses, so a plain write
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

// Only these extensions, exactly as written, get a normalised copy.
bool hasCopyExtension(const QString& path) {
    const QString extension = QFileInfo(path).suffix();
    return extension == QLatin1String("png") || extension == QLatin1String("PNG") ||
           extension == QLatin1String("jpg") || extension == QLatin1String("JPG");
}

} // namespace

bool checkWhetherTheImageIsInAStandardFormatWithPath(const QString& path) {
    QFile file(path);
    const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(2) : QByteArray();
    if (head.size() < 2)
        return true;
    if (static_cast<unsigned char>(head[0]) == 0xFF &&
        static_cast<unsigned char>(head[1]) == 0xD8) {
        qInfo().noquote() << "The image is in JPEG/JFIF format.";
        return false;
    }
    return true;
}

QString normalisedCopyName(const QString& sourcePath) {
    const auto [base, extension] = OutputPlacement::splitName(QFileInfo(sourcePath).fileName());
    return QStringLiteral("%1_documents.%2").arg(base, extension);
}

QString convertPicturesToStandardFormats(const QString& sourcePath, const QString& copyPath) {
    const QString extension = QFileInfo(sourcePath).suffix();
    bool saved = false;
    if (hasCopyExtension(sourcePath)) {
        const bool png = extension.compare(QLatin1String("png"), Qt::CaseInsensitive) == 0;
        QImageReader reader(sourcePath);
        const QImage image = readImage(reader);
        if (!image.isNull())
            saved = png ? writeImage(image, copyPath, "png", -1)
                        : writeImage(flattenOntoWhite(image), copyPath, "jpeg", JpegQuality);
    }
    if (!saved) {
        qInfo().noquote() << "Failed to save image as PNG.";
        return {};
    }
    qInfo().noquote() << QStringLiteral("Image saved as PNG at path: %1").arg(copyPath);
    return copyPath;
}

QString writeLosslessCopy(const QString& sourcePath, const QString& copyPath) {
    QImage image;
    if (hasCopyExtension(sourcePath)) {
        QImageReader reader(sourcePath);
        image = readImage(reader);
    }
    if (image.isNull() || !writeImage(flattenOntoWhite(image), copyPath, "ppm", -1)) {
        qInfo().noquote() << "Failed to save image as PNG.";
        return {};
    }
    return copyPath;
}

std::optional<QByteArray> dataToJpgData(const QByteArray& data) {
    QBuffer in;
    in.setData(data);
    QImageReader reader(&in);
    const QImage image = readImage(reader);
    if (image.isNull())
        return std::nullopt;
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(JpegQuality);
    if (!writer.write(flattenOntoWhite(image)))
        return std::nullopt;
    return out;
}

bool reencodeFileAsJpeg(const QString& sourcePath, const QString& targetPath) {
    QImageReader reader(sourcePath);
    const QImage image = readImage(reader);
    return !image.isNull() && writeImage(flattenOntoWhite(image), targetPath, "jpeg", JpegQuality);
}

} // namespace InputNormaliser
