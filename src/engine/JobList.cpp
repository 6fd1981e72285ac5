#include "JobList.h"

JobList::JobList(QObject* parent) : QObject(parent) {}

QSet<QString> JobList::paths() const {
    QSet<QString> paths;
    paths.reserve(jobs_.size());
    for (const Job& job : jobs_)
        paths.insert(job.path);
    return paths;
}

bool JobList::addPath(const QString& path) {
    if (locked_ || positionOf_.contains(path))
        return false;
    return appendJobs({makeJob(path)}) == 1;
}

qsizetype JobList::appendJobs(const QList<Job>& jobs) {
    if (locked_)
        return 0;
    // Decide first, so the view hears of exactly the rows that arrive.
    QList<const Job*> fresh;
    QSet<QString> seen;
    for (const Job& job : jobs) {
        if (!positionOf_.contains(job.path) && !seen.contains(job.path)) {
            seen.insert(job.path);
            fresh.append(&job);
        }
    }
    if (fresh.isEmpty())
        return 0;
    const qsizetype first = jobs_.size();
    Q_EMIT aboutToAppend(first, first + fresh.size() - 1);
    jobs_.reserve(first + fresh.size());
    for (const Job* job : fresh) {
        positionOf_.insert(job->path, jobs_.size());
        jobs_.append(*job);
    }
    Q_EMIT appended();
    return fresh.size();
}

bool JobList::removeAt(qsizetype i) {
    if (locked_ || i < 0 || i >= jobs_.size())
        return false;
    Q_EMIT aboutToRemove(i);
    positionOf_.remove(jobs_.at(i).path);
    jobs_.removeAt(i);
    for (qsizetype k = i; k < jobs_.size(); ++k)
        positionOf_[jobs_.at(k).path] = k;
    Q_EMIT removed();
    return true;
}

bool JobList::clear() {
    if (locked_)
        return false;
    Q_EMIT aboutToClear();
    jobs_.clear();
    positionOf_.clear();
    Q_EMIT cleared();
    return true;
}

void JobList::setLocked(bool locked) {
    if (locked_ == locked)
        return;
    locked_ = locked;
    Q_EMIT lockedChanged(locked);
}

void JobList::updateJob(qsizetype i, const Job& job) {
    if (i < 0 || i >= jobs_.size() || jobs_.at(i).path != job.path)
        return;
    jobs_[i] = job;
    Q_EMIT jobChanged(i);
}
