#include "InputIntake.h"

#include "FileIntake.h"
#include "OutputPlacement.h"

#include <QFileInfo>

namespace InputIntake {

namespace {

// Where the run will put the result (as BatchRun places it): the output folder and the mirrored
// subfolder, or the source's own folder.
bool resultExists(const WalkItem& item, const CliOptions& options) {
    const auto mode = FileIntake::modeForPath(item.path, options.modes);
    if (!mode)
        return false;
    if (options.run.nextToSource)
        return OutputPlacement::resultExists(QFileInfo(item.path).absolutePath(), QString(), *mode,
                                             item.path);
    return OutputPlacement::resultExists(options.run.outputDirectory, item.subfolder, *mode,
                                         item.path);
}

} // namespace

std::variant<Job, InputOutcome> take(const WalkItem& item, const CliOptions& options,
                                     bool skipExisting) {
    InputOutcome outcome;
    outcome.path = item.path;
    if (item.reason != Reason::None) {
        outcome.reason = item.reason;
        outcome.detail = item.detail;
        return outcome;
    }
    if (skipExisting && resultExists(item, options)) {
        outcome.reason = Reason::AlreadyExists;
        outcome.inputBytes = FileIntake::fileSize(item.path);
        return outcome;
    }
    const FileIntake::IntakeResult intake =
        FileIntake::collect({item.path}, options.modes, {}, 1, /*checkExtension=*/true);
    if (!intake.jobs.isEmpty()) {
        Job job = intake.jobs.constFirst();
        job.outputSubfolder = item.subfolder;
        return job;
    }
    outcome.inputBytes = FileIntake::fileSize(item.path);
    if (intake.skipped.isEmpty()) {
        outcome.reason = Reason::Oversize;
    } else {
        outcome.reason = intake.skipped.constFirst().reason;
        outcome.detail = intake.skipped.constFirst().detail;
    }
    return outcome;
}

} // namespace InputIntake
