#include "OutcomeStream.h"

#include "ConsoleOutput.h"
#include "ReportWriter.h"

OutcomeStream::OutcomeStream(const CliOptions& options, Lines lines)
    : options_(options), lines_(lines),
      progress_(lines == Lines::WhenAiming && !options.json && !options.jsonLines &&
                !options.quiet && ConsoleOutput::stdoutIsTerminal()) {
    clock_.start();
}

void OutcomeStream::add(const InputOutcome& outcome) {
    summary_.add(outcome);
    if (options_.jsonLines)
        ConsoleOutput::writeStdout(ReportWriter::jsonLine(outcome));
    writeLine(outcome);
    if (outcome.state == InputOutcome::State::Skipped && !outcome.alreadyExists() &&
        outcome.reason != Reason::Cancelled)
        ConsoleOutput::printError(
            QStringLiteral("skipped %1: %2").arg(outcome.path, outcome.reasonText()));
    if (lines_ == Lines::Every) {
        // Each was told as it happened: the closing report gives the counts only.
        summary_.failures.clear();
        summary_.warnings.clear();
    }
}

void OutcomeStream::writeLine(const InputOutcome& outcome) {
    using State = InputOutcome::State;
    const bool result = outcome.state == State::Converted || outcome.state == State::NotSmaller;
    if (lines_ == Lines::WhenAiming) {
        const Aim& aim = options_.run.aim;
        const bool aiming = aim.kind != Aim::Kind::Quality || aim.measure;
        if (textLines() &&
            (outcome.state == State::NotSmaller || (aiming && outcome.state == State::Converted))) {
            progress_.clear();
            ConsoleOutput::writeStdout(ReportWriter::resultLine(outcome));
        }
        return;
    }
    if (textLines() && result)
        ConsoleOutput::writeStdout(ReportWriter::resultLine(outcome));
    if (textLines() && !outcome.warning.isEmpty())
        ConsoleOutput::printError(
            QStringLiteral("warning %1: %2").arg(outcome.path, outcome.warning));
    if (!options_.jsonLines && outcome.state == State::Failed)
        ConsoleOutput::printError(
            QStringLiteral("failed %1: %2").arg(outcome.path, outcome.reasonText()));
}

void OutcomeStream::showProgress(qsizetype done, qsizetype total, const QString& name) {
    progress_.show(done, total, name);
}

void OutcomeStream::writeClosing(bool cancelled) {
    summary_.wallMs = clock_.elapsed();
    summary_.cancelled = cancelled;
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
}
