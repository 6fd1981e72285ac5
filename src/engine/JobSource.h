#pragma once
#include "Job.h"

#include <QtGlobal>

// Where a batch run takes its jobs from, by position: 0, 1, 2 ... in order. The window's job
// list holds every job from the start; a streaming source (the command line's) adds jobs while
// the run goes and may forget a job once the run has reported it finished.
class JobSource {
public:
    virtual ~JobSource() = default;
    // Jobs added so far; positions below it are valid until the source forgets them.
    virtual qsizetype count() const = 0;
    virtual const Job& at(qsizetype i) const = 0;
    virtual void updateJob(qsizetype i, const Job& job) = 0;
    // Structural changes are refused while a run holds the source.
    virtual void setLocked(bool locked) = 0;
    // False while more jobs may still come: the run then waits for them (BatchRun::jobsAdded).
    virtual bool isComplete() const { return true; }
};
