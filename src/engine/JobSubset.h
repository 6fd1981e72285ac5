#pragma once
#include "JobSource.h"

#include <QList>

class JobList;

// Some rows of a job list as a run's source, so a run can convert only the jobs one request
// added while the list holds others. The rows stay valid: a run locks the list.
class JobSubset : public JobSource {
public:
    JobSubset(JobList* list, QList<qsizetype> rows);

    qsizetype count() const override { return rows_.size(); }
    const Job& at(qsizetype i) const override;
    void updateJob(qsizetype i, const Job& job) override;
    void setLocked(bool locked) override;

private:
    JobList* list_;
    QList<qsizetype> rows_;
};
