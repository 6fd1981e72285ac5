#include "JobAccessibleText.h"

#include "PicModel.h"
#include "SizeFormat.h"

#include <QCoreApplication>

namespace JobAccessibleText {

namespace {
QString stateText(const PicModel& job) {
    switch (job.completed) {
    case JobState::Converted:
        return QCoreApplication::translate("JobAccessibleText", "converted");
    case JobState::Converting:
        return QCoreApplication::translate("JobAccessibleText", "converting");
    case JobState::Failed:
        // The reason is the engine's own text (it quotes the tool), so it is not translated.
        return job.errorText.isEmpty()
                   ? QCoreApplication::translate("JobAccessibleText", "failed")
                   : QCoreApplication::translate("JobAccessibleText", "failed: %1")
                         .arg(job.errorText);
    default:
        return QCoreApplication::translate("JobAccessibleText", "waiting");
    }
}
} // namespace

QString name(const PicModel& job) {
    return QCoreApplication::translate("JobAccessibleText", "%1, %2, %3")
        .arg(job.name, formattedSize(job.size), stateText(job));
}

QString description(const PicModel& job) {
    if (job.completed == JobState::Converted && !job.outputPath.isEmpty())
        return QCoreApplication::translate("JobAccessibleText", "%1, converted to %2")
            .arg(job.url, job.outputPath);
    return job.url;
}

} // namespace JobAccessibleText
