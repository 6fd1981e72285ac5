#pragma once
#include "BatchRun.h"
#include "CliOptions.h"

// What a conversion run and a watch both do before their first job.
namespace RunSetup {
// The run's options: the command line's, plus the test-only stand-in tools and time limit.
RunOptions runOptions(const CliOptions& options);
// Prepares the output folder (unless results go next to their sources) and starts run over
// jobs. False, with the reason printed, when nothing can run.
bool start(BatchRun& run, JobSource& jobs, const CliOptions& options);
} // namespace RunSetup
