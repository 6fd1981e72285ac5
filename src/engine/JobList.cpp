#include "JobList.h"

#include <QSet>

JobList::JobList(QObject* parent) : QObject(parent) {}

bool JobList::addData(const QString& path) {
    if (locked_ || index_.contains(path))
        return false;
    return appendJobs({makePicModel(path)}) == 1;
}

qsizetype JobList::appendJobs(const QList<PicModel>& jobs) {
    if (locked_)
        return 0;
    // Decide first, so the view hears of exactly the rows that arrive.
    QList<const PicModel*> fresh;
    QSet<QString> seen;
    for (const PicModel& job : jobs) {
        if (!index_.contains(job.url) && !seen.contains(job.url)) {
            seen.insert(job.url);
            fresh.append(&job);
        }
    }
    if (fresh.isEmpty())
        return 0;
    const qsizetype first = dataArr_.size();
    Q_EMIT aboutToAppend(first, first + fresh.size() - 1);
    dataArr_.reserve(first + fresh.size());
    pathArr_.reserve(first + fresh.size());
    for (const PicModel* job : fresh) {
        index_.insert(job->url, dataArr_.size());
        dataArr_.append(*job);
        pathArr_.append(job->url);
    }
    Q_EMIT appended();
    return fresh.size();
}

bool JobList::removeAt(qsizetype i) {
    if (locked_ || i < 0 || i >= dataArr_.size())
        return false;
    Q_EMIT aboutToRemove(i);
    index_.remove(pathArr_.at(i));
    dataArr_.removeAt(i);
    pathArr_.removeAt(i);
    for (qsizetype k = i; k < pathArr_.size(); ++k)
        index_[pathArr_.at(k)] = k;
    Q_EMIT removed();
    return true;
}

bool JobList::clear() {
    if (locked_)
        return false;
    Q_EMIT aboutToClear();
    dataArr_.clear();
    pathArr_.clear();
    index_.clear();
    Q_EMIT cleared();
    return true;
}

void JobList::setLocked(bool locked) {
    if (locked_ == locked)
        return;
    locked_ = locked;
    Q_EMIT lockedChanged(locked);
}

void JobList::updateJob(qsizetype i, const PicModel& job) {
    if (i < 0 || i >= dataArr_.size() || dataArr_.at(i).url != job.url)
        return;
    dataArr_[i] = job;
    Q_EMIT jobChanged(i);
}
