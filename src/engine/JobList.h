#pragma once
#include "Job.h"
#include "JobSource.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>

// The queue of jobs, with a hash index of their paths so the duplicate test stays
// constant-time. While a run holds the list (setLocked), every structural change
// is refused; records themselves are only changed through updateJob by the run.
class JobList : public QObject, public JobSource {
    Q_OBJECT
public:
    explicit JobList(QObject* parent = nullptr);

    qsizetype count() const override { return jobs_.size(); }
    bool isEmpty() const { return jobs_.isEmpty(); }
    const Job& at(qsizetype i) const override { return jobs_.at(i); }
    const QList<Job>& jobs() const { return jobs_; }
    QSet<QString> paths() const;
    bool containsPath(const QString& path) const { return positionOf_.contains(path); }
    // The row of the job for path, or -1.
    qsizetype indexOf(const QString& path) const { return positionOf_.value(path, -1); }

    // Creates a job for path and appends it unless the path is already listed.
    // Returns false when nothing was added (duplicate, or the list is locked).
    bool addPath(const QString& path);
    // Appends prepared jobs (from makeJob, possibly built on a worker thread), skipping
    // duplicates. Returns how many were appended.
    qsizetype appendJobs(const QList<Job>& jobs);
    bool removeAt(qsizetype i);
    bool clear();

    bool isLocked() const { return locked_; }
    void setLocked(bool locked) override;

    // Used by the run: replaces record i's state fields and announces the change.
    void updateJob(qsizetype i, const Job& job) override;

Q_SIGNALS:
    void aboutToAppend(qsizetype first, qsizetype last);
    void appended();
    void aboutToRemove(qsizetype row);
    void removed();
    void aboutToClear();
    void cleared();
    void jobChanged(qsizetype row);
    void lockedChanged(bool locked);

private:
    QList<Job> jobs_;
    QHash<QString, qsizetype> positionOf_; // path -> position; rebuilt after a removal
    bool locked_ = false;
};
