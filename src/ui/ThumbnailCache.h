#pragma once
#include <QCache>
#include <QImage>
#include <QMutex>
#include <QSize>
#include <QString>

#include <optional>

// Decoded thumbnails, least recently used first out once their bytes pass the bound. The key
// holds the file's modification time, so a changed file is never answered from here. Safe to
// use from several threads.
class ThumbnailCache {
public:
    struct Entry {
        QImage image; // null: the file could not be decoded
        bool animated = false;
    };

    explicit ThumbnailCache(qint64 maxBytes) : entries_(maxBytes) {}

    std::optional<Entry> find(const QString& path, QSize size, qint64 modifiedMs);
    void insert(const QString& path, QSize size, qint64 modifiedMs, const Entry& entry);
    void setMaxBytes(qint64 maxBytes);
    void clear();

private:
    static QString keyOf(const QString& path, QSize size, qint64 modifiedMs);

    QMutex mutex_;
    QCache<QString, Entry> entries_;
};
