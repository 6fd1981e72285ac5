#include "OutputChecks.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace OutputChecks {

bool prepareOutputDirectory(const QString& directory, QString* error) {
    const QFileInfo info(directory);
    if (info.exists() && !info.isDir()) {
        *error =
            QStringLiteral("cannot write to output folder %1: it is not a folder").arg(directory);
        return false;
    }
    if (!info.exists() && !QDir().mkpath(directory)) {
        *error = QStringLiteral("cannot create output folder %1").arg(directory);
        return false;
    }
    QTemporaryFile probe(QDir(directory).filePath(QStringLiteral(".tessaro-convert-XXXXXX")));
    if (!probe.open()) {
        *error = QStringLiteral("cannot write to output folder %1: %2")
                     .arg(directory, probe.errorString());
        return false;
    }
    return true;
}

} // namespace OutputChecks
