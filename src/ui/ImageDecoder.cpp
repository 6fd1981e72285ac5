#include "ImageDecoder.h"

#include "Vocabulary.h"

#include <QFile>
#include <QImageReader>

namespace {
// Process-wide in Qt. The engine's input step sets the same value, so neither lowers the
// other's limit while both decode at once; it admits the largest image intake accepts.
constexpr int AllocationLimitMiB = 1024;

bool tooLarge(QSize size) {
    return size.width() > MaxImageSide || size.height() > MaxImageSide;
}

DecodedImage failed(DecodeFailure failure, qint64 bytes = 0) {
    DecodedImage result;
    result.failure = failure;
    result.bytes = bytes;
    return result;
}
} // namespace

DecodedImage decodeImage(const QString& path, QSize fitInto) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(DecodeFailure::Unreadable);
    const qint64 bytes = file.size();
    static const bool limited = [] {
        QImageReader::setAllocationLimit(AllocationLimitMiB);
        return true;
    }();
    Q_UNUSED(limited);
    // No format given: the content decides, so a wrong extension or a wrong magic is caught.
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    const QSize headerSize = reader.size();
    if (tooLarge(headerSize))
        return failed(DecodeFailure::TooLarge, bytes);
    const bool animated = reader.imageCount() > 1;
    const bool shrink =
        fitInto.isValid() && headerSize.isValid() &&
        (headerSize.width() > fitInto.width() || headerSize.height() > fitInto.height());
    if (shrink)
        reader.setScaledSize(headerSize.scaled(fitInto, Qt::KeepAspectRatio).expandedTo({1, 1}));
    QImage image = reader.read();
    if (image.isNull())
        return failed(DecodeFailure::Damaged, bytes);
    // Without a header size the limit is checked on what was decoded.
    const QSize fullSize = headerSize.isValid() ? headerSize : image.size();
    if (tooLarge(fullSize))
        return failed(DecodeFailure::TooLarge, bytes);
    if (fitInto.isValid() && (image.width() > fitInto.width() || image.height() > fitInto.height()))
        image = image.scaled(fitInto, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (image.format() != QImage::Format_RGB32 &&
        image.format() != QImage::Format_ARGB32_Premultiplied)
        image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                : QImage::Format_RGB32);
    DecodedImage result;
    result.image = std::move(image);
    result.fullSize = fullSize;
    result.bytes = bytes;
    result.animated = animated;
    return result;
}
