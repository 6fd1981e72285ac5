#include "JobSubset.h"

#include "JobList.h"

JobSubset::JobSubset(JobList* list, QList<qsizetype> rows) : list_(list), rows_(std::move(rows)) {}

const Job& JobSubset::at(qsizetype i) const {
    return list_->at(rows_.at(i));
}

void JobSubset::updateJob(qsizetype i, const Job& job) {
    list_->updateJob(rows_.at(i), job);
}

void JobSubset::setLocked(bool locked) {
    list_->setLocked(locked);
}
