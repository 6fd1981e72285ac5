#include "PicModel.h"

#include "InputNormaliser.h"

#include <QFileInfo>

PicModel makePicModel(const QString& path) {
    PicModel job;
    job.url = path;
    job.name = QFileInfo(path).fileName();
    const QFileInfo info(path);
    job.size = info.exists() ? static_cast<double>(info.size()) / 1000.0 : 0.0;
    job.isStandard = InputNormaliser::checkWhetherTheImageIsInAStandardFormatWithPath(path);
    job.completed = JobState::Waiting;
    return job;
}
