#include "ConvertCommand.h"

#include "ConsoleOutput.h"
#include "InputIntake.h"
#include "JobOutcome.h"
#include "RunSetup.h"

namespace {

// Files looked at per turn of the event loop, so finished tools are answered promptly.
constexpr int ScanBatch = 64;

} // namespace

ConvertCommand::ConvertCommand(const CliOptions& options, QObject* parent)
    : QObject(parent), options_(options), scanner_(options.paths, options.modes, options.recursive),
      outcomes_(options_, OutcomeStream::Lines::WhenAiming) {
    connect(&run_, &BatchRun::jobStarted, this, [this] {
        ++started_;
        scheduleFeed();
    });
    connect(&run_, &BatchRun::jobFinished, this,
            [this](qsizetype row, bool) { onJobFinished(row); });
    connect(&run_, &BatchRun::finished, this, &ConvertCommand::onFinished);
}

std::optional<int> ConvertCommand::start() {
    if (!RunSetup::start(run_, jobs_, options_))
        return ExitUsage;
    feed();
    return std::nullopt;
}

void ConvertCommand::interrupt() {
    interrupted_ = true;
    run_.cancel();
}

void ConvertCommand::scheduleFeed() {
    if (feedScheduled_ || scanDone_ || interrupted_)
        return;
    feedScheduled_ = true;
    QMetaObject::invokeMethod(this, &ConvertCommand::feed, Qt::QueuedConnection);
}

void ConvertCommand::feed() {
    feedScheduled_ = false;
    if (scanDone_ || interrupted_)
        return;
    // Enough waiting jobs to keep every tool busy, few enough to hold little.
    const qsizetype backlog = 2 * options_.run.maxConcurrent + 8;
    for (int looked = 0; looked < ScanBatch && waitingJobs() < backlog; ++looked) {
        const std::optional<WalkItem> item = scanner_.next();
        if (!item) {
            scanDone_ = true;
            jobs_.setComplete();
            break;
        }
        takeIn(*item);
    }
    if (scanDone_ && jobs_.count() == 0 && outcomes_.summary().alreadyExisting() == 0)
        ConsoleOutput::printError(QStringLiteral("nothing to convert"));
    run_.jobsAdded();
    if (!scanDone_ && waitingJobs() < backlog)
        scheduleFeed();
}

qsizetype ConvertCommand::reserveSlot(const QString& path) {
    if (options_.json) {
        InputOutcome placeholder;
        placeholder.path = path;
        outcomes_.summary().inputs.append(placeholder);
    }
    return slots_++;
}

void ConvertCommand::record(qsizetype slot, const InputOutcome& outcome) {
    outcomes_.add(outcome);
    if (options_.json)
        outcomes_.summary().inputs[slot] = outcome;
}

void ConvertCommand::takeIn(const WalkItem& item) {
    std::variant<Job, InputOutcome> taken =
        InputIntake::take(item, options_, options_.run.skipExisting);
    const qsizetype slot = reserveSlot(item.path);
    if (Job* job = std::get_if<Job>(&taken))
        slotOfJob_.insert(jobs_.add(std::move(*job)), slot);
    else
        record(slot, std::get<InputOutcome>(taken));
}

void ConvertCommand::onJobFinished(qsizetype row) {
    if (!jobs_.holds(row))
        return;
    const Job& job = jobs_.at(row);
    record(slotOfJob_.take(row), JobOutcome::finished(job));
    ++finished_;
    outcomes_.showProgress(finished_, jobs_.count(), job.name);
    jobs_.forget(row);
    scheduleFeed();
}

void ConvertCommand::onFinished(const RunReport& runReport) {
    // Jobs the run never took up because it was cancelled.
    const std::map<qsizetype, Job> left = jobs_.held();
    for (const auto& [row, job] : left) {
        record(slotOfJob_.take(row), JobOutcome::notStarted(job));
        jobs_.forget(row);
    }
    outcomes_.writeClosing(runReport.cancelled || interrupted_);
    Q_EMIT done(exitStatus());
}

int ConvertCommand::exitStatus() const {
    const RunSummary& summary = outcomes_.summary();
    if (summary.cancelled)
        return ExitInterrupted;
    using State = InputOutcome::State;
    if (jobs_.count() == 0 && summary.alreadyExisting() == 0)
        return ExitUsage;
    // Results that were there already or would not have saved enough are no failures.
    const bool complete = summary.count(State::Converted) + summary.alreadyExisting() +
                              summary.count(State::NotSmaller) ==
                          summary.total();
    return complete ? ExitConverted : ExitIncomplete;
}
