#include "RunNotifier.h"

#include "ConversionSession.h"
#include "DesktopIntegration.h"
#include "SizeSummary.h"

namespace {
QString convertedText(qsizetype count) {
    return count == 1 ? RunNotifier::tr("Converted 1 file")
                      : RunNotifier::tr("Converted %1 files").arg(count);
}
} // namespace

RunNotifier::RunNotifier(ConversionSession* session, DesktopIntegration* desktop,
                         std::function<bool()> windowIsActive, QObject* parent)
    : QObject(parent), session_(session), desktop_(desktop),
      windowIsActive_(std::move(windowIsActive)) {
    connect(session, &ConversionSession::runStarted, this, [this] { clock_.start(); });
    connect(session, &ConversionSession::progressChanged, this,
            [this](qsizetype done, qsizetype total) {
                if (desktop_ != nullptr && total > 0)
                    desktop_->setProgress(double(done) / double(total), true);
            });
    connect(session, &ConversionSession::runFinished, this, &RunNotifier::runEnded);
}

void RunNotifier::runEnded(const RunReport& report) {
    if (desktop_ == nullptr || session_ == nullptr)
        return;
    desktop_->setProgress(0, false);
    const bool watched = clock_.elapsed() < quietRunMs || (windowIsActive_ && windowIsActive_());
    if (watched && !session_->lastRunRequested())
        return;
    desktop_->notifyRunEnded(summaryOf(report, session_->runTotal()), bodyOf(report),
                             session_->lastRunLocation());
}

QString RunNotifier::summaryOf(const RunReport& report, qsizetype total) {
    if (report.failed())
        return tr("%1 of %2 failed").arg(report.failedJobs.size()).arg(total);
    QString summary = convertedText(report.converted);
    if (report.converted > 0)
        summary += QStringLiteral(" · ") +
                   SizeSummary::totalsText(report.convertedInputBytes, report.outputBytes);
    return summary;
}

QString RunNotifier::bodyOf(const RunReport& report) {
    QStringList parts;
    if (report.cancelled)
        parts << tr("Cancelled");
    if (report.failed() && report.converted > 0)
        parts << convertedText(report.converted) + QStringLiteral(" · ") +
                     SizeSummary::totalsText(report.convertedInputBytes, report.outputBytes);
    if (report.skippedExisting > 0)
        parts << tr("%n skipped (already exist)", nullptr, int(report.skippedExisting));
    if (report.notSmaller > 0)
        parts << tr("%n kept as they were (not smaller)", nullptr, int(report.notSmaller));
    return parts.join(u'\n');
}
