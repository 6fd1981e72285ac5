#include "StreamingJobs.h"

void StreamingJobs::updateJob(qsizetype i, const Job& job) {
    if (const auto it = jobs_.find(i); it != jobs_.end())
        it->second = job;
}

qsizetype StreamingJobs::add(Job job) {
    jobs_.emplace(added_, std::move(job));
    return added_++;
}
