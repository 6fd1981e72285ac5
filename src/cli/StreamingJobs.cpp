#include "StreamingJobs.h"

void StreamingJobs::updateJob(qsizetype i, const PicModel& job) {
    if (const auto it = jobs_.find(i); it != jobs_.end())
        it->second = job;
}

qsizetype StreamingJobs::add(PicModel job) {
    jobs_.emplace(added_, std::move(job));
    return added_++;
}
