#include "ConvertCommand.h"

#include "AppPaths.h"
#include "ConsoleOutput.h"
#include "FileIntake.h"
#include "OutputChecks.h"
#include "ReportWriter.h"
#include "SizeSummary.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace {

// Test-only hooks: a folder of stand-in tools and their time limit.
const char ToolsDirectoryVariable[] = "TESSARO_TOOLS_DIR";
const char ToolTimeoutVariable[] = "TESSARO_TOOL_TIMEOUT_MS";

} // namespace

ConvertCommand::ConvertCommand(const CliOptions& options, QObject* parent)
    : QObject(parent), options_(options),
      progress_(!options.json && !options.quiet && ConsoleOutput::stdoutIsTerminal()) {
    connect(&run_, &BatchRun::jobFinished, this,
            [this](qsizetype row, bool) { lastFinishedRow_ = row; });
    connect(&run_, &BatchRun::progressChanged, this, &ConvertCommand::onProgress);
    connect(&run_, &BatchRun::finished, this, &ConvertCommand::onFinished);
}

std::optional<int> ConvertCommand::start() {
    clock_.start();
    QString error;
    if (!OutputChecks::prepareOutputDirectory(options_.outputDirectory, &error)) {
        ConsoleOutput::printError(error);
        return ExitUsage;
    }
    takeInInputs();
    if (list_.isEmpty()) {
        ConsoleOutput::printError(QStringLiteral("nothing to convert"));
        report();
        return ExitUsage;
    }
    if (!run_.start(&list_, runOptions())) {
        ConsoleOutput::printError(
            QStringLiteral("cannot start the conversion: no usable work folder under %1")
                .arg(QDir::toNativeSeparators(
                    QFileInfo(AppPaths::privateHome()).absoluteFilePath())));
        return ExitUsage;
    }
    return std::nullopt;
}

void ConvertCommand::interrupt() {
    interrupted_ = true;
    run_.cancel();
}

RunOptions ConvertCommand::runOptions() const {
    RunOptions run;
    run.convertType = options_.modes.first();
    run.ratio = options_.quality;
    run.outputDirectory = options_.outputDirectory;
    run.keepDate = options_.keepDate;
    run.maxConcurrent = options_.jobs;
    run.countRun = false;
    run.losslessCopies = true; // scripts want speed and no second lossy step
    run.toolsDirectory = qEnvironmentVariable(ToolsDirectoryVariable);
    bool ok = false;
    const int timeoutMs = qEnvironmentVariableIntValue(ToolTimeoutVariable, &ok);
    if (ok && timeoutMs > 0)
        run.toolTimeoutMs = timeoutMs;
    return run;
}

void ConvertCommand::recordSkipped(const QString& path, const QString& reason) {
    InputOutcome outcome;
    outcome.path = path;
    outcome.state = InputOutcome::State::Skipped;
    outcome.reason = reason;
    outcome.inputBytes = FileIntake::fileSizeAtPath(path);
    summary_.inputs.append(outcome);
    ConsoleOutput::printError(QStringLiteral("skipped %1: %2").arg(path, reason));
}

void ConvertCommand::takeInInputs() {
    // Candidates in the order given, folders expanded in place; a missing path keeps its
    // place so the report follows the command line.
    QStringList candidates;
    QList<std::pair<qsizetype, QString>> missing;
    const QDir current = QDir::current();
    for (const QString& argument : options_.paths) {
        const QString path = QDir::cleanPath(current.absoluteFilePath(argument));
        if (!QFileInfo::exists(path)) {
            missing.append({candidates.size(), path});
            continue;
        }
        candidates.append(FileIntake::expandCandidates({path}, options_.modes));
    }

    const FileIntake::IntakeResult intake = FileIntake::collect(
        candidates, options_.modes, {}, FileIntake::UploadCount, /*checkExtension=*/true);

    QHash<QString, const PicModel*> jobs;
    for (const PicModel& job : intake.jobs)
        jobs.insert(job.url, &job);
    QHash<QString, QString> skipped;
    for (const FileIntake::SkippedPath& skip : intake.skipped)
        skipped.insert(skip.path, skip.reason);
    const QSet<QString> oversized(intake.oversized.cbegin(), intake.oversized.cend());
    const QSet<QString> dropped(intake.dropped.cbegin(), intake.dropped.cend());

    QSet<QString> reported;
    qsizetype nextMissing = 0;
    for (qsizetype i = 0; i <= candidates.size(); ++i) {
        while (nextMissing < missing.size() && missing.at(nextMissing).first == i)
            recordSkipped(missing.at(nextMissing++).second,
                          QStringLiteral("No such file or directory"));
        if (i == candidates.size())
            break;
        const QString& path = candidates.at(i);
        if (reported.contains(path))
            continue; // the same file named twice is one input
        reported.insert(path);
        if (const auto job = jobs.constFind(path); job != jobs.cend()) {
            InputOutcome outcome;
            outcome.path = path;
            outcome.inputBytes = SizeSummary::bytesOf(**job);
            outcomeOfRow_.append(summary_.inputs.size());
            summary_.inputs.append(outcome);
        } else if (const auto skip = skipped.constFind(path); skip != skipped.cend()) {
            recordSkipped(path, *skip);
        } else if (oversized.contains(path)) {
            recordSkipped(path, FileIntake::oversizeMessage());
        } else if (dropped.contains(path)) {
            recordSkipped(path, FileIntake::uploadLimitMessage());
        }
    }
    list_.appendJobs(intake.jobs);
}

void ConvertCommand::onProgress(qsizetype done, qsizetype total) {
    if (done == 0 || lastFinishedRow_ < 0 || lastFinishedRow_ >= list_.count())
        return;
    progress_.show(done, total, list_.at(lastFinishedRow_).name);
}

void ConvertCommand::onFinished(const RunReport& runReport) {
    summary_.cancelled = runReport.cancelled || interrupted_;
    for (qsizetype row = 0; row < list_.count(); ++row) {
        const PicModel& job = list_.at(row);
        InputOutcome& outcome = summary_.inputs[outcomeOfRow_.at(row)];
        outcome.elapsedMs = job.elapsedMs;
        if (job.completed == JobState::Converted) {
            outcome.state = InputOutcome::State::Converted;
            outcome.outputPath = job.outputPath;
            outcome.outputBytes = job.outputBytes;
        } else if (!job.errorText.isEmpty() || job.completed == JobState::Failed) {
            outcome.state = InputOutcome::State::Failed;
            outcome.reason =
                job.errorText.isEmpty() ? QStringLiteral("the conversion failed") : job.errorText;
        } else {
            // Never finished: the run was cancelled before or while converting it.
            outcome.state = InputOutcome::State::Skipped;
            outcome.reason = QStringLiteral("cancelled");
        }
    }
    Q_EMIT done(report());
}

int ConvertCommand::report() {
    summary_.wallMs = clock_.elapsed();
    progress_.clear();
    if (options_.json) {
        ConsoleOutput::writeStdout(ReportWriter::jsonDocument(summary_));
    } else if (!options_.quiet) {
        ConsoleOutput::writeStdout(ReportWriter::summaryText(summary_));
    } else {
        for (const InputOutcome& input : summary_.inputs) {
            if (input.state == InputOutcome::State::Failed)
                ConsoleOutput::printError(
                    QStringLiteral("failed %1: %2").arg(input.path, input.reason));
        }
    }
    if (summary_.cancelled)
        return ExitInterrupted;
    if (summary_.count(InputOutcome::State::Converted) == 0 && list_.isEmpty())
        return ExitUsage;
    const bool complete = summary_.count(InputOutcome::State::Converted) == summary_.inputs.size();
    return complete ? ExitConverted : ExitIncomplete;
}
