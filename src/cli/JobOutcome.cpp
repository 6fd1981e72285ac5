#include "JobOutcome.h"

namespace JobOutcome {

InputOutcome finished(const Job& job) {
    InputOutcome outcome;
    outcome.path = job.path;
    outcome.inputBytes = job.sourceBytes;
    outcome.elapsedMs = job.elapsedMs;
    outcome.reason = job.reason;
    outcome.detail = job.detail;
    if (job.state == JobState::Converted) {
        outcome.state = InputOutcome::State::Converted;
        outcome.outputPath = job.outputPath;
        outcome.outputBytes = job.outputBytes;
        outcome.profileCarried = job.profileCarried;
        outcome.metadataCarried = job.metadataCarried;
        outcome.warning = job.warning;
        outcome.resultSize = job.resultSize;
        outcome.quality = job.quality;
        outcome.psnr = job.psnr;
        outcome.ssim = job.ssim;
    } else if (job.reason == Reason::NotSmaller) {
        outcome.state = InputOutcome::State::NotSmaller;
        outcome.outputBytes = job.outputBytes;
    } else if (job.reason == Reason::None || job.reason == Reason::Cancelled) {
        // Never finished: the run was cancelled while converting it.
        outcome.reason = Reason::Cancelled;
    } else if (job.reason != Reason::AlreadyExists) {
        outcome.state = InputOutcome::State::Failed;
    }
    return outcome;
}

InputOutcome notStarted(const Job& job) {
    InputOutcome outcome;
    outcome.path = job.path;
    outcome.inputBytes = job.sourceBytes;
    outcome.reason = Reason::Cancelled;
    return outcome;
}

} // namespace JobOutcome
