#include "AppPaths.h"

#include "PrivateFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace AppPaths {

QString privateHome() {
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

bool preparePrivateHome(QString* why) {
    const QString home = privateHome();
    if (home.isEmpty()) {
        if (why)
            *why = QStringLiteral("no private home folder is known");
        return false;
    }
    if (!PrivateFolder::makeOrRepair(home, why))
        return false;
    PrivateFolder::restrictTree(home);
    return true;
}

QString documentsDirectory() {
    const QString home = privateHome();
    if (home.isEmpty() || !PrivateFolder::makeOrCheck(home, nullptr))
        return {};
    const QString docs = QDir(home).filePath(QStringLiteral("Documents"));
    return PrivateFolder::makeOrCheck(docs, nullptr) ? docs : QString();
}

QString toolsDirectory() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/tessaro-pro/tools"));
}

} // namespace AppPaths
