#include "OutputPlacement.h"

#include "ModeTable.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace OutputPlacement {

SplitName splitName(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot <= 0)
        return {fileName, {}};
    return {fileName.left(dot), fileName.mid(dot + 1)};
}

QString baseName(const QString& path) {
    return splitName(QFileInfo(path).fileName()).stem;
}

bool entryExists(const QString& path) {
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

namespace {

QString joinName(const QString& stem, const QString& extension) {
    return extension.isEmpty() ? stem : stem + u'.' + extension;
}

QString errnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

bool nameFits(const QString& fileName) {
    return QFile::encodeName(fileName).size() <= NAME_MAX;
}

QString uniqueName(const QString& fileName, const QString& folder, qint64 count,
                   const IsTaken& isTaken) {
    const auto taken = [&](const QString& name) {
        return isTaken ? isTaken(name) : entryExists(folder + u'/' + name);
    };
    QString name = fileName;
    // Each taken name leads to the next candidate with the counter one higher.
    for (;; ++count) {
        const SplitName split = splitName(name);
        if (!nameFits(name))
            return {};
        if (!taken(name))
            return folder + u'/' + joinName(split.stem, split.extension);
        const qsizetype open = name.indexOf(u'(');
        const QString prefix = (open >= 0 && name.contains(u')')) ? name.left(open) : split.stem;
        name = joinName(QStringLiteral("%1(%2)").arg(prefix).arg(count), split.extension);
    }
}

std::optional<QDateTime> fileCreateDate(const QString& path) {
    const QFileInfo info(path);
    QString error;
    if (!info.exists())
        error = errnoText(ENOENT);
    else if (!info.birthTime().isValid())
        error = QStringLiteral("the file system records no creation date");
    else
        return info.birthTime();
    qInfo().noquote()
        << QStringLiteral("-- can't get attributesOfItemAtPath:%1 error:%2").arg(path, error);
    return std::nullopt;
}

QString resultFileName(ConvertMode mode, const QString& source) {
    return joinName(baseName(source), ModeTable::outputExtension(mode));
}

QString resultFolder(const QString& outputFolder, const QString& subfolder) {
    return subfolder.isEmpty() ? outputFolder : outputFolder + u'/' + subfolder;
}

QString plainResultPath(const QString& outputFolder, const QString& subfolder, ConvertMode mode,
                        const QString& source) {
    return resultFolder(outputFolder, subfolder) + u'/' + resultFileName(mode, source);
}

bool resultExists(const QString& outputFolder, const QString& subfolder, ConvertMode mode,
                  const QString& source) {
    return entryExists(plainResultPath(outputFolder, subfolder, mode, source));
}

void removeTemporaryFile(const QString& path) {
    if (!path.isEmpty())
        QFile::remove(path);
}

} // namespace OutputPlacement

QString OutputReservations::reserve(const QString& fileName, const QString& directory) {
    const QString path =
        OutputPlacement::uniqueName(fileName, directory, 1, [&](const QString& name) {
            const QString candidate = directory + u'/' + name;
            return reserved_.contains(candidate) || OutputPlacement::entryExists(candidate);
        });
    if (!path.isEmpty())
        reserved_.insert(path);
    return path;
}
