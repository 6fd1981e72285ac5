#include "ThumbnailCache.h"

#include <QMutexLocker>

QString ThumbnailCache::keyOf(const QString& path, QSize size, qint64 modifiedMs) {
    // A path cannot hold a NUL, so the parts cannot run into each other.
    return path + QChar(0) + QString::number(size.width()) + u'x' + QString::number(size.height()) +
           QChar(0) + QString::number(modifiedMs);
}

std::optional<ThumbnailCache::Entry> ThumbnailCache::find(const QString& path, QSize size,
                                                          qint64 modifiedMs) {
    const QMutexLocker lock(&mutex_);
    if (const Entry* entry = entries_.object(keyOf(path, size, modifiedMs)))
        return *entry;
    return std::nullopt;
}

void ThumbnailCache::insert(const QString& path, QSize size, qint64 modifiedMs,
                            const Entry& entry) {
    // A failure costs a little too, so a folder of broken files cannot grow the cache unbounded.
    const qsizetype cost = qMax<qsizetype>(256, entry.image.sizeInBytes());
    const QMutexLocker lock(&mutex_);
    entries_.insert(keyOf(path, size, modifiedMs), new Entry(entry), cost);
}

void ThumbnailCache::setMaxBytes(qint64 maxBytes) {
    const QMutexLocker lock(&mutex_);
    entries_.setMaxCost(maxBytes);
}

void ThumbnailCache::clear() {
    const QMutexLocker lock(&mutex_);
    entries_.clear();
}
