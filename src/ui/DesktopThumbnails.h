#pragma once
#include <QImage>
#include <QSize>
#include <QString>

// The desktop's shared thumbnail cache (~/.cache/thumbnails, as file managers write it). Read
// only: an entry counts when its recorded URI and modification time match the file, so a
// stale or foreign entry is never shown. Safe on any thread.
namespace DesktopThumbnails {
// The file's URI as the cache records it, and the entry's name (MD5 of the URI).
QByteArray uriOf(const QString& absolutePath);
QString entryName(const QString& absolutePath);
// The smallest valid entry at least as large as fitInto's longer side (or the largest there is),
// scaled to fit; a null image when there is none.
QImage find(const QString& absolutePath, qint64 modifiedSecs, QSize fitInto);
} // namespace DesktopThumbnails
