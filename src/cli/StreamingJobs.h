#pragma once
#include "JobSource.h"

#include <map>

// The command line's job source: jobs are added as the scan finds them and forgotten once
// reported, so only the waiting and running ones are held, whatever the number of inputs.
class StreamingJobs : public JobSource {
public:
    qsizetype count() const override { return added_; }
    const Job& at(qsizetype i) const override { return jobs_.at(i); }
    void updateJob(qsizetype i, const Job& job) override;
    void setLocked(bool) override {}
    bool isComplete() const override { return complete_; }

    // Adds a job; its position.
    qsizetype add(Job job);
    void forget(qsizetype i) { jobs_.erase(i); }
    void setComplete() { complete_ = true; }
    bool holds(qsizetype i) const { return jobs_.count(i) > 0; }
    // The jobs still held, by position.
    const std::map<qsizetype, Job>& held() const { return jobs_; }

private:
    std::map<qsizetype, Job> jobs_;
    qsizetype added_ = 0;
    bool complete_ = false;
};
