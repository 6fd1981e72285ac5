#include "DesktopThumbnails.h"

#include <QCryptographicHash>
#include <QFile>
#include <QImageReader>
#include <QStandardPaths>
#include <QUrl>

namespace DesktopThumbnails {

namespace {
struct Folder {
    const char* name;
    int side;
};
constexpr Folder Folders[] = {
    {"normal", 128}, {"large", 256}, {"x-large", 512}, {"xx-large", 1024}};
// Entries are small PNGs; anything bigger is not one and is not read.
constexpr qint64 MaxEntryBytes = 8 * 1024 * 1024;

QImage readEntry(const QString& entryPath, const QByteArray& uri, qint64 modifiedSecs, int side) {
    QFile file(entryPath);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxEntryBytes)
        return {};
    QImageReader reader(&file, "png");
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > side || size.height() > side)
        return {};
    const QImage image = reader.read();
    if (image.text(QStringLiteral("Thumb::URI")).toUtf8() != uri ||
        image.text(QStringLiteral("Thumb::MTime")) != QString::number(modifiedSecs))
        return {};
    return image;
}
} // namespace

QByteArray uriOf(const QString& absolutePath) {
    return QUrl::fromLocalFile(absolutePath).toEncoded();
}

QString entryName(const QString& absolutePath) {
    return QString::fromLatin1(
               QCryptographicHash::hash(uriOf(absolutePath), QCryptographicHash::Md5).toHex()) +
           QStringLiteral(".png");
}

QImage find(const QString& absolutePath, qint64 modifiedSecs, QSize fitInto) {
    const QString root = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                         QStringLiteral("/thumbnails/");
    const QByteArray uri = uriOf(absolutePath);
    const QString name = entryName(absolutePath);
    const int wanted = qMax(fitInto.width(), fitInto.height());
    for (const Folder& folder : Folders) {
        // Smaller folders would be enlarged; the largest is taken when none is big enough.
        if (folder.side < wanted && folder.side != Folders[std::size(Folders) - 1].side)
            continue;
        QImage image = readEntry(root + QLatin1String(folder.name) + u'/' + name, uri, modifiedSecs,
                                 folder.side);
        if (image.isNull())
            continue;
        if (image.width() > fitInto.width() || image.height() > fitInto.height())
            image = image.scaled(fitInto, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        return image;
    }
    return {};
}

} // namespace DesktopThumbnails
