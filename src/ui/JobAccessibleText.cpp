#include "JobAccessibleText.h"

#include "Job.h"
#include "ReasonText.h"
#include "SizeSummary.h"

#include <QCoreApplication>

#include <cmath>

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
        if (keptSource(job))
            return QCoreApplication::translate("JobAccessibleText", "not kept: %1")
                .arg(keptSourceReason(job));
        return QCoreApplication::translate("JobAccessibleText", "waiting");
    }
}
} // namespace

bool keptSource(const Job& job) {
    return job.state == JobState::Waiting && job.reason == Reason::NotSmaller;
}

QString keptSourceReason(const Job& job) {
    const qint64 saving =
        std::llround(SizeSummary::savingPercent(job.sourceBytes, job.outputBytes));
    const QString result = SizeSummary::humanBytes(job.outputBytes);
    if (saving < 0)
        return QCoreApplication::translate("JobAccessibleText", "its result (%1) would be %2 % "
                                                                "larger")
            .arg(result)
            .arg(-saving);
    return QCoreApplication::translate("JobAccessibleText", "its result (%1) would save only %2 %")
        .arg(result)
        .arg(saving);
}

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
