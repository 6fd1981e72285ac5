#include "RunReport.h"

#include <algorithm>

namespace {

bool allOfKind(const QList<RunFailure>& failures, RunFailure::Kind kind) {
    return std::all_of(failures.cbegin(), failures.cend(),
                       [kind](const RunFailure& failure) { return failure.kind == kind; });
}

QString failureLine(const RunFailure& failure) {
    if (failure.kind == RunFailure::Kind::AnimatedWebp)
        return QStringLiteral("%1: %2").arg(failure.path,
                                            QLatin1String(ClosingTexts::AnimatedWebp));
    if (failure.reason.isEmpty())
        return QStringLiteral("%1: the converter stopped without saying why").arg(failure.path);
    // Reasons name their file already; one that does not gets the path in front.
    if (failure.reason.contains(failure.path))
        return failure.reason;
    return QStringLiteral("%1: %2").arg(failure.path, failure.reason);
}

} // namespace

QString ClosingTexts::silentTool() {
    return QStringLiteral("The App fails to compress some images. Please send it to ") +
           QLatin1String(SupportEmail) + QStringLiteral(" and I will check it for you.");
}

ClosingReport closingReport(const RunReport& report) {
    ClosingReport closing;
    if (!report.failed)
        return closing;
    const QList<RunFailure>& failed = report.failedJobs;
    closing.icon = ClosingReport::Icon::Warning;
    closing.title = failed.size() == 1
                        ? QStringLiteral("1 image was not converted")
                        : QStringLiteral("%1 images were not converted").arg(failed.size());
    if (failed.isEmpty() || allOfKind(failed, RunFailure::Kind::SilentTool)) {
        closing.text = ClosingTexts::silentTool();
        return closing;
    }
    if (allOfKind(failed, RunFailure::Kind::AnimatedWebp)) {
        closing.text = QLatin1String(ClosingTexts::AnimatedWebp);
        return closing;
    }
    QStringList lines;
    const qsizetype listed = qMin<qsizetype>(failed.size(), ClosingTexts::ListedFailures);
    for (qsizetype i = 0; i < listed; ++i)
        lines.append(failureLine(failed.at(i)));
    if (failed.size() > listed)
        lines.append(QStringLiteral("and %1 more").arg(failed.size() - listed));
    closing.text = lines.join(u'\n');
    return closing;
}

QString RunReport::closingMessage() const {
    return closingReport(*this).text;
}
