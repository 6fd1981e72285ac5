#include "JobAccessibleText.h"

#include "Job.h"
#include "ReasonText.h"
#include "SizeSummary.h"

#include <QCoreApplication>

namespace JobAccessibleText {

namespace {
QString stateText(const Job& job) {
    switch (job.state) {
    case JobState::Converted:
        return QCoreApplication::translate("JobAccessibleText", "converted");
    case JobState::Converting:
        return QCoreApplication::translate("JobAccessibleText", "converting");
    case JobState::Failed:
        return QCoreApplication::translate("JobAccessibleText", "failed: %1")
            .arg(reasonText(job.reason, job.detail));
    default:
        return QCoreApplication::translate("JobAccessibleText", "waiting");
    }
}
} // namespace

QString name(const Job& job) {
    return QCoreApplication::translate("JobAccessibleText", "%1, %2, %3")
        .arg(job.name, SizeSummary::humanBytes(job.sourceBytes), stateText(job));
}

QString description(const Job& job) {
    if (job.state == JobState::Converted && !job.outputPath.isEmpty())
        return QCoreApplication::translate("JobAccessibleText", "%1, converted to %2")
            .arg(job.path, job.outputPath);
    return job.path;
}

} // namespace JobAccessibleText
