#pragma once
#include <QCache>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QSize>
#include <QString>

class JobList;
class ThumbnailLoader;

// The thumbnails of a job list's rows, keyed by the job's identity (its source path), so a row
// keeps its picture when rows above it come or go. The view says which rows are on screen or
// about to be; only those are decoded, and a row that leaves that range before its turn costs
// nothing. Pictures already shown are kept in a bounded cache, so scrolling back is instant.
class RowThumbnails : public QObject {
    Q_OBJECT
public:
    // Enough for the rows of several screens; far less than a full list of ten thousand.
    static constexpr qint64 DefaultShownBytes = 24 * 1024 * 1024;

    struct Thumbnail {
        QImage image;
        bool animated = false;
    };

    explicit RowThumbnails(JobList* list, QObject* parent = nullptr);

    // Rows first..last are wanted at size (device pixels); wanted rows outside are forgotten.
    void showRows(int first, int last, QSize size);
    // The row's picture; null when it has not arrived or the file cannot be decoded.
    Thumbnail thumbnail(const QString& path) const;
    ThumbnailLoader* loader() const { return loader_; }

Q_SIGNALS:
    void thumbnailArrived(int row);

private:
    qint64 keyOf(const QString& path);
    void arrived(qint64 key, const QImage& image, bool animated);
    void forgetAll();

    QPointer<JobList> list_;
    ThumbnailLoader* loader_;
    QHash<QString, qint64> keys_;
    QHash<qint64, QString> paths_;
    QSet<qint64> wanted_;
    QSet<QString> undecodable_;
    QCache<QString, Thumbnail> shown_;
    QSize size_;
};
