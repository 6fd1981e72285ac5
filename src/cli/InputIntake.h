#pragma once
#include "CliOptions.h"
#include "FolderWalk.h"
#include "Job.h"
#include "RunSummary.h"

#include <variant>

// What a found input becomes: a job for the run, or an outcome to report at once because it
// cannot be taken or, with skipExisting, its result is there already. That test reads only
// directory entries, so going over converted files again stays cheap.
namespace InputIntake {
std::variant<Job, InputOutcome> take(const WalkItem& item, const CliOptions& options,
                                     bool skipExisting);
} // namespace InputIntake
