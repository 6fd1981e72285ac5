#pragma once
#include "ThumbnailCache.h"

#include <QHash>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <atomic>
#include <memory>

// Small pictures of source files for the rows of a list, decoded on the decode pool at the size
// asked for. Each request carries the caller's key (a row's id); a newer request for the same
// key, or forget(key), cancels the older one: queued work is skipped and a late result is
// dropped. Results arrive on the thread the loader lives on. Cached by path, size and
// modification time; the desktop's shared thumbnail cache is read first when allowed.
class ThumbnailLoader : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 DefaultCacheBytes = 64 * 1024 * 1024;

    explicit ThumbnailLoader(QObject* parent = nullptr);
    ~ThumbnailLoader() override;

    // size is in device pixels (a row's size times the screen's pixel ratio). Asking again for
    // what a key is already waiting for changes nothing, so a row may ask on every paint.
    void request(qint64 key, const QString& path, QSize size);
    void forget(qint64 key);
    void forgetAll();
    bool isPending(qint64 key) const { return pending_.contains(key); }

    void setCacheBytes(qint64 bytes) { cache_->setMaxBytes(bytes); }
    void setUseDesktopThumbnails(bool use) { useDesktop_ = use; }
    // How many files were decoded (not answered from a cache) so far.
    int decodeCount() const { return shared_->decodes.load(); }

Q_SIGNALS:
    void thumbnailReady(qint64 key, const QImage& image, bool animated);
    void thumbnailFailed(qint64 key);

private:
    struct Shared {
        std::atomic_int decodes{0};
    };
    struct Pending {
        QString path;
        QSize size;
        quint64 ticket = 0;
        std::shared_ptr<std::atomic_bool> cancelled;
    };
    void deliver(qint64 key, quint64 ticket, const ThumbnailCache::Entry& entry);

    std::shared_ptr<ThumbnailCache> cache_;
    std::shared_ptr<Shared> shared_;
    QHash<qint64, Pending> pending_;
    quint64 nextTicket_ = 1;
    bool useDesktop_ = true;
};
