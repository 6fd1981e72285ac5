#include "AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace AppPaths {

QString privateHome() {
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

QString documentsDirectory() {
    const QString home = privateHome();
    if (home.isEmpty())
        return {};
    const QString docs = QDir(home).filePath(QStringLiteral("Documents"));
    return QDir().mkpath(docs) ? docs : QString();
}

QString toolsDirectory() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/tessaro-pro/tools"));
}

} // namespace AppPaths
