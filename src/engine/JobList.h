#pragma once
#include "JobSource.h"
#include "PicModel.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>

// The queue of jobs: dataArr and pathArr in parallel, with a hash index so the duplicate
// test stays constant-time. While a run holds the list (setLocked), every structural change
// is refused; records themselves are only changed through updateJob by the run.
class JobList : public QObject, public JobSource {
    Q_OBJECT
public:
    explicit JobList(QObject* parent = nullptr);

    qsizetype count() const override { return dataArr_.size(); }
    bool isEmpty() const { return dataArr_.isEmpty(); }
    const PicModel& at(qsizetype i) const override { return dataArr_.at(i); }
    const QList<PicModel>& dataArr() const { return dataArr_; }
    const QStringList& pathArr() const { return pathArr_; }
    bool containsPath(const QString& path) const { return index_.contains(path); }

    // Creates a job for path and appends it unless the path is already listed.
    // Returns false when nothing was added (duplicate, or the list is locked).
    bool addData(const QString& path);
    // Appends prepared jobs (from makePicModel, possibly built on a worker thread), skipping
    // duplicates. Returns how many were appended.
    qsizetype appendJobs(const QList<PicModel>& jobs);
    bool removeAt(qsizetype i);
    bool clear();

    bool isLocked() const { return locked_; }
    void setLocked(bool locked) override;

    // Used by the run: replaces record i's state fields and announces the change.
    void updateJob(qsizetype i, const PicModel& job) override;

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
    QList<PicModel> dataArr_;
    QStringList pathArr_;
    QHash<QString, qsizetype> index_; // path -> position; rebuilt after a removal
    bool locked_ = false;
};
