#include "ThumbnailLoader.h"

#include "DecodePool.h"
#include "DesktopThumbnails.h"
#include "ImageDecoder.h"

#include <QFileInfo>
#include <QImageReader>

namespace {
bool hasSeveralFrames(const QString& path) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.imageCount() > 1;
}

ThumbnailCache::Entry load(ThumbnailCache& cache, std::atomic_int& decodes, const QString& path,
                           QSize size, bool useDesktop) {
    const QFileInfo info(path);
    const QString absolute = info.absoluteFilePath();
    const QDateTime modified = info.lastModified();
    const qint64 modifiedMs = modified.toMSecsSinceEpoch();
    if (const auto cached = cache.find(absolute, size, modifiedMs))
        return *cached;
    ThumbnailCache::Entry entry;
    if (useDesktop) {
        entry.image = DesktopThumbnails::find(absolute, modified.toSecsSinceEpoch(), size);
        if (!entry.image.isNull())
            entry.animated = hasSeveralFrames(absolute);
    }
    if (entry.image.isNull()) {
        ++decodes;
        const DecodedImage decoded = decodeImage(absolute, size);
        entry.image = decoded.image;
        entry.animated = decoded.animated;
    }
    cache.insert(absolute, size, modifiedMs, entry);
    return entry;
}
} // namespace

ThumbnailLoader::ThumbnailLoader(QObject* parent)
    : QObject(parent), cache_(std::make_shared<ThumbnailCache>(DefaultCacheBytes)),
      shared_(std::make_shared<Shared>()) {}

ThumbnailLoader::~ThumbnailLoader() {
    // Work already queued finds itself cancelled; running work ends unseen (the results'
    // continuations die with this object).
    forgetAll();
}

void ThumbnailLoader::request(qint64 key, const QString& path, QSize size) {
    if (const auto found = pending_.constFind(key);
        found != pending_.cend() && found->path == path && found->size == size)
        return;
    forget(key);
    const quint64 ticket = nextTicket_++;
    auto cancelled = std::make_shared<std::atomic_bool>(false);
    pending_.insert(key, {path, size, ticket, cancelled});
    auto work = [cache = cache_, shared = shared_, cancelled, path, size,
                 useDesktop = useDesktop_]() -> std::optional<ThumbnailCache::Entry> {
        // A row scrolled away before its turn costs nothing.
        if (cancelled->load())
            return std::nullopt;
        return load(*cache, shared->decodes, path, size, useDesktop);
    };
    runOnDecodePool(this, std::move(work),
                    [this, key, ticket](const std::optional<ThumbnailCache::Entry>& entry) {
                        if (entry)
                            deliver(key, ticket, *entry);
                    });
}

void ThumbnailLoader::deliver(qint64 key, quint64 ticket, const ThumbnailCache::Entry& entry) {
    const auto found = pending_.constFind(key);
    if (found == pending_.cend() || found->ticket != ticket)
        return; // superseded or forgotten meanwhile
    pending_.erase(found);
    if (entry.image.isNull())
        Q_EMIT thumbnailFailed(key);
    else
        Q_EMIT thumbnailReady(key, entry.image, entry.animated);
}

void ThumbnailLoader::forget(qint64 key) {
    const auto found = pending_.constFind(key);
    if (found == pending_.cend())
        return;
    found->cancelled->store(true);
    pending_.erase(found);
}

void ThumbnailLoader::forgetAll() {
    for (const Pending& pending : std::as_const(pending_))
        pending.cancelled->store(true);
    pending_.clear();
}
