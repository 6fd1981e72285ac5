#include "ConvertCommand.h"

#include "AppPaths.h"
#include "ConsoleOutput.h"
#include "FileIntake.h"
#include "OutputChecks.h"
#include "OutputPlacement.h"
#include "ReasonText.h"
#include "ReportWriter.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Test-only hooks: a folder of stand-in tools and their time limit.
const char ToolsDirectoryVariable[] = "TESSARO_TOOLS_DIR";
const char ToolTimeoutVariable[] = "TESSARO_TOOL_TIMEOUT_MS";

// Files looked at per turn of the event loop, so finished tools are answered promptly.
constexpr int ScanBatch = 64;

} // namespace

ConvertCommand::ConvertCommand(const CliOptions& options, QObject* parent)
    : QObject(parent), options_(options), scanner_(options.paths, options.modes, options.recursive),
      progress_(!options.json && !options.jsonLines && !options.quiet &&
                ConsoleOutput::stdoutIsTerminal()) {
    connect(&run_, &BatchRun::jobStarted, this, [this] {
        ++started_;
        scheduleFeed();
    });
    connect(&run_, &BatchRun::jobFinished, this,
            [this](qsizetype row, bool) { onJobFinished(row); });
    connect(&run_, &BatchRun::finished, this, &ConvertCommand::onFinished);
}

std::optional<int> ConvertCommand::start() {
    clock_.start();
    QString error;
    if (!OutputChecks::prepareOutputDirectory(options_.run.outputDirectory, &error)) {
        ConsoleOutput::printError(error);
        return ExitUsage;
    }
    if (!run_.start(&jobs_, runOptions())) {
        ConsoleOutput::printError(
            QStringLiteral("cannot start the conversion: no usable work folder under %1")
                .arg(QDir::toNativeSeparators(
                    QFileInfo(AppPaths::privateHome()).absoluteFilePath())));
        return ExitUsage;
    }
    feed();
    return std::nullopt;
}

void ConvertCommand::interrupt() {
    interrupted_ = true;
    run_.cancel();
}

RunOptions ConvertCommand::runOptions() const {
    RunOptions run = options_.run;
    run.toolsDirectory = qEnvironmentVariable(ToolsDirectoryVariable);
    bool ok = false;
    const int timeoutMs = qEnvironmentVariableIntValue(ToolTimeoutVariable, &ok);
    if (ok && timeoutMs > 0)
        run.toolTimeoutMs = timeoutMs;
    return run;
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
    if (scanDone_ && jobs_.count() == 0 && summary_.alreadyExisting() == 0)
        ConsoleOutput::printError(QStringLiteral("nothing to convert"));
    run_.jobsAdded();
    if (!scanDone_ && waitingJobs() < backlog)
        scheduleFeed();
}

qsizetype ConvertCommand::reserveSlot(const QString& path) {
    if (options_.json) {
        InputOutcome placeholder;
        placeholder.path = path;
        summary_.inputs.append(placeholder);
    }
    return slots_++;
}

void ConvertCommand::record(qsizetype slot, const InputOutcome& outcome) {
    summary_.add(outcome);
    if (options_.json)
        summary_.inputs[slot] = outcome;
    if (options_.jsonLines)
        ConsoleOutput::writeStdout(ReportWriter::jsonLine(outcome));
    const Aim& aim = options_.run.aim;
    const bool aiming = aim.kind != Aim::Kind::Quality || aim.measure;
    const bool textLines = !options_.json && !options_.jsonLines && !options_.quiet;
    if (textLines && (outcome.state == InputOutcome::State::NotSmaller ||
                      (aiming && outcome.state == InputOutcome::State::Converted))) {
        progress_.clear();
        ConsoleOutput::writeStdout(ReportWriter::resultLine(outcome));
    }
    if (outcome.state == InputOutcome::State::Skipped && !outcome.alreadyExists() &&
        outcome.reason != Reason::Cancelled)
        ConsoleOutput::printError(
            QStringLiteral("skipped %1: %2").arg(outcome.path, outcome.reasonText()));
}

void ConvertCommand::takeIn(const WalkItem& item) {
    InputOutcome outcome;
    outcome.path = item.path;
    if (item.reason != Reason::None) {
        outcome.reason = item.reason;
        outcome.detail = item.detail;
        record(reserveSlot(item.path), outcome);
        return;
    }
    // Cheap test first: a re-run over converted files reads nothing but directory entries.
    if (options_.run.skipExisting) {
        const auto mode = FileIntake::modeForPath(item.path, options_.modes);
        if (mode && OutputPlacement::resultExists(options_.run.outputDirectory, item.subfolder,
                                                  *mode, item.path)) {
            outcome.reason = Reason::AlreadyExists;
            outcome.inputBytes = FileIntake::fileSize(item.path);
            record(reserveSlot(item.path), outcome);
            return;
        }
    }
    const FileIntake::IntakeResult intake =
        FileIntake::collect({item.path}, options_.modes, {}, 1, /*checkExtension=*/true);
    const qsizetype slot = reserveSlot(item.path);
    if (!intake.jobs.isEmpty()) {
        Job job = intake.jobs.constFirst();
        job.outputSubfolder = item.subfolder;
        slotOfJob_.insert(jobs_.add(std::move(job)), slot);
        return;
    }
    outcome.inputBytes = FileIntake::fileSize(item.path);
    if (intake.skipped.isEmpty()) {
        outcome.reason = Reason::Oversize;
    } else {
        outcome.reason = intake.skipped.constFirst().reason;
        outcome.detail = intake.skipped.constFirst().detail;
    }
    record(slot, outcome);
}

void ConvertCommand::onJobFinished(qsizetype row) {
    if (!jobs_.holds(row))
        return;
    const Job& job = jobs_.at(row);
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
    record(slotOfJob_.take(row), outcome);
    ++finished_;
    progress_.show(finished_, jobs_.count(), job.name);
    jobs_.forget(row);
    scheduleFeed();
}

void ConvertCommand::onFinished(const RunReport& runReport) {
    summary_.cancelled = runReport.cancelled || interrupted_;
    // Jobs the run never took up because it was cancelled.
    const std::map<qsizetype, Job> left = jobs_.held();
    for (const auto& [row, job] : left) {
        InputOutcome outcome;
        outcome.path = job.path;
        outcome.inputBytes = job.sourceBytes;
        outcome.reason = Reason::Cancelled;
        record(slotOfJob_.take(row), outcome);
        jobs_.forget(row);
    }
    Q_EMIT done(report());
}

int ConvertCommand::report() {
    summary_.wallMs = clock_.elapsed();
    progress_.clear();
    if (options_.json) {
        ConsoleOutput::writeStdout(ReportWriter::jsonDocument(summary_));
    } else if (options_.jsonLines) {
        ConsoleOutput::writeStdout(ReportWriter::jsonTotalsLine(summary_));
    } else if (!options_.quiet) {
        ConsoleOutput::writeStdout(ReportWriter::summaryText(summary_));
    } else {
        for (const InputOutcome& input : summary_.failures)
            ConsoleOutput::printError(
                QStringLiteral("failed %1: %2").arg(input.path, input.reasonText()));
    }
    if (summary_.cancelled)
        return ExitInterrupted;
    using State = InputOutcome::State;
    if (jobs_.count() == 0 && summary_.alreadyExisting() == 0)
        return ExitUsage;
    // Results that were there already or would not have saved enough are no failures.
    const bool complete = summary_.count(State::Converted) + summary_.alreadyExisting() +
                              summary_.count(State::NotSmaller) ==
                          summary_.total();
    return complete ? ExitConverted : ExitIncomplete;
}
