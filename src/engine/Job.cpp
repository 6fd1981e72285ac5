#include "Job.h"

#include "InputNormaliser.h"

#include <QFileInfo>

Job makeJob(const QString& path) {
    Job job;
    const QFileInfo info(path);
    job.path = path;
    job.name = info.fileName();
    job.sourceBytes = info.exists() ? info.size() : 0;
    job.jpegContent = InputNormaliser::hasJpegContent(path);
    return job;
}
