#include "RowThumbnails.h"

#include "JobList.h"
#include "ThumbnailLoader.h"

RowThumbnails::RowThumbnails(JobList* list, QObject* parent)
    : QObject(parent), list_(list), loader_(new ThumbnailLoader(this)), shown_(DefaultShownBytes) {
    connect(loader_, &ThumbnailLoader::thumbnailReady, this, &RowThumbnails::arrived);
    connect(loader_, &ThumbnailLoader::thumbnailFailed, this, [this](qint64 key) {
        wanted_.remove(key);
        undecodable_.insert(paths_.value(key));
    });
    // A removed row's request is dropped with the rows that leave the screen; a cleared list
    // drops them all, and a path listed again is read again.
    connect(list, &JobList::cleared, this, &RowThumbnails::forgetAll);
}

qint64 RowThumbnails::keyOf(const QString& path) {
    auto found = keys_.constFind(path);
    if (found == keys_.cend()) {
        found = keys_.insert(path, keys_.size() + 1);
        paths_.insert(*found, path);
    }
    return *found;
}

void RowThumbnails::showRows(int first, int last, QSize size) {
    if (list_ == nullptr || size.isEmpty())
        return;
    if (size != size_) {
        // Another row size (font or screen changed): every picture is decoded anew.
        forgetAll();
        size_ = size;
    }
    first = qMax(first, 0);
    last = qMin<qsizetype>(last, list_->count() - 1);
    QSet<qint64> wanted;
    for (int row = first; row <= last; ++row) {
        const QString& path = list_->at(row).path;
        if (shown_.contains(path) || undecodable_.contains(path))
            continue;
        const qint64 key = keyOf(path);
        wanted.insert(key);
        loader_->request(key, path, size);
    }
    for (const qint64 key : std::as_const(wanted_)) {
        if (!wanted.contains(key))
            loader_->forget(key);
    }
    wanted_ = std::move(wanted);
}

RowThumbnails::Thumbnail RowThumbnails::thumbnail(const QString& path) const {
    const Thumbnail* found = shown_.object(path);
    return found != nullptr ? *found : Thumbnail();
}

void RowThumbnails::arrived(qint64 key, const QImage& image, bool animated) {
    wanted_.remove(key);
    const QString path = paths_.value(key);
    shown_.insert(path, new Thumbnail{image, animated}, qMax<qsizetype>(1, image.sizeInBytes()));
    const qsizetype row = list_ != nullptr ? list_->indexOf(path) : -1;
    if (row >= 0)
        Q_EMIT thumbnailArrived(int(row));
}

void RowThumbnails::forgetAll() {
    loader_->forgetAll();
    wanted_.clear();
    undecodable_.clear();
    shown_.clear();
    keys_.clear();
    paths_.clear();
}
