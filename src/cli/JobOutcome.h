#pragma once
#include "Job.h"
#include "RunSummary.h"

// What the reports say of a job once the run is done with it.
namespace JobOutcome {
// A job the run has finished; one cut short by a cancel is Cancelled.
InputOutcome finished(const Job& job);
// A job the run never took up because it was stopped.
InputOutcome notStarted(const Job& job);
} // namespace JobOutcome
