#include "RunReport.h"

#include "ReasonText.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

QString animatedWebpText() {
    return reasonText(Reason::AnimatedWebp);
}

bool allFor(const QList<RunFailure>& failures, Reason reason) {
    return std::all_of(failures.cbegin(), failures.cend(),
                       [reason](const RunFailure& failure) { return failure.reason == reason; });
}

QString failureLine(const RunFailure& failure) {
    if (failure.reason == Reason::AnimatedWebp)
        return QStringLiteral("%1: %2").arg(failure.path, animatedWebpText());
    if (failure.detail.isEmpty())
        return QCoreApplication::translate("ClosingReport",
                                           "%1: the converter stopped without saying why")
            .arg(failure.path);
    // Details name their file already; one that does not gets the path in front.
    if (failure.detail.contains(failure.path))
        return failure.detail;
    return QStringLiteral("%1: %2").arg(failure.path, failure.detail);
}

} // namespace

ClosingReport closingReport(const RunReport& report) {
    ClosingReport closing;
    const QList<RunFailure>& failed = report.failedJobs;
    if (failed.isEmpty())
        return closing;
    closing.icon = ClosingReport::Icon::Warning;
    closing.title =
        failed.size() == 1
            ? QCoreApplication::translate("ClosingReport", "1 image was not converted")
            : QCoreApplication::translate("ClosingReport", "%1 images were not converted")
                  .arg(failed.size());
    if (allFor(failed, Reason::ToolSilent)) {
        closing.text = QCoreApplication::translate(
                           "ClosingReport",
                           "The App fails to compress some images. Please send it to %1 and I will "
                           "check it for you.")
                           .arg(QLatin1String(SupportEmail));
        return closing;
    }
    if (allFor(failed, Reason::AnimatedWebp)) {
        closing.text = animatedWebpText();
        return closing;
    }
    QStringList lines;
    const qsizetype listed = qMin<qsizetype>(failed.size(), ListedFailures);
    for (qsizetype i = 0; i < listed; ++i)
        lines.append(failureLine(failed.at(i)));
    if (failed.size() > listed)
        lines.append(QCoreApplication::translate("ClosingReport", "and %1 more")
                         .arg(failed.size() - listed));
    closing.text = lines.join(u'\n');
    return closing;
}
