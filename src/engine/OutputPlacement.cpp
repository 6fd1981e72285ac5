#include "OutputPlacement.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
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

namespace {

QString joinName(const QString& stem, const QString& extension) {
    return extension.isEmpty() ? stem : stem + u'.' + extension;
}

// A directory entry of that exact name, also a dangling link, takes the name.
bool entryExists(const QString& path) {
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

QString errnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

QString returnSaveImageName(const QString& fileName, const QString& homePath, qint64 count,
                            const IsTaken& isTaken) {
    const auto taken = [&](const QString& name) {
        return isTaken ? isTaken(name) : entryExists(homePath + u'/' + name);
    };
    QString name = fileName;
    // Each taken name leads to the next candidate with the counter one higher.
    for (;; ++count) {
        const SplitName split = splitName(name);
        if (!taken(name))
            return homePath + u'/' + joinName(split.stem, split.extension);
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

void applyDateStep(const std::optional<QDateTime>& creationDate, const QString& outputPath) {
    if (!creationDate || !creationDate->isValid())
        return;
    const qint64 ms = creationDate->toMSecsSinceEpoch();
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT; // access time stays as it is
    times[1].tv_sec = static_cast<time_t>(ms / 1000);
    times[1].tv_nsec = static_cast<long>((ms % 1000) * 1000000);
    ::utimensat(AT_FDCWD, QFile::encodeName(outputPath).constData(), times, 0);
}

void removeTemporaryFile(const QString& path) {
    if (!path.isEmpty())
        QFile::remove(path);
}

namespace {

enum class MoveResult { Moved, Taken, Unsupported, CrossDevice, Failed };

// Moves source to target only when target does not exist, atomically.
MoveResult moveNoReplace(const QByteArray& source, const QByteArray& target, int* error) {
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return MoveResult::Moved;
    *error = errno;
    if (errno == EEXIST)
        return MoveResult::Taken;
    if (errno == EXDEV)
        return MoveResult::CrossDevice;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return MoveResult::Failed;
    // File systems without RENAME_NOREPLACE: a hard link fails when the name exists.
    if (::link(source.constData(), target.constData()) == 0) {
        ::unlink(source.constData());
        return MoveResult::Moved;
    }
    *error = errno;
    if (errno == EEXIST)
        return MoveResult::Taken;
    return errno == EXDEV ? MoveResult::CrossDevice : MoveResult::Unsupported;
}

} // namespace

std::optional<QString> publishNoReplace(const QString& source, const QString& wantedPath,
                                        const IsTaken& alsoTaken, QString* error) {
    const QFileInfo wanted(wantedPath);
    const QString directory = wanted.path();
    const QString fileName = wanted.fileName();
    QString from = source;
    // Only used when source is on another file system: a hidden copy inside the output
    // folder, so the final step is still an atomic rename there.
    std::unique_ptr<QTemporaryFile> staged;
    QString target = wantedPath;
    for (int attempt = 0; attempt < 100000; ++attempt) {
        int err = 0;
        switch (moveNoReplace(QFile::encodeName(from), QFile::encodeName(target), &err)) {
        case MoveResult::Moved:
            if (staged)
                staged->setAutoRemove(false); // it now is the result
            return target;
        case MoveResult::Taken:
            target = returnSaveImageName(fileName, directory, 1, [&](const QString& name) {
                const QString path = directory + u'/' + name;
                return entryExists(path) || (alsoTaken && alsoTaken(path));
            });
            continue;
        case MoveResult::CrossDevice: {
            if (staged)
                break;
            staged = std::make_unique<QTemporaryFile>(directory + QStringLiteral("/.") + fileName +
                                                      QStringLiteral(".XXXXXX.part"));
            QFile in(source);
            if (!staged->open() || !in.open(QIODevice::ReadOnly)) {
                if (error)
                    *error = QStringLiteral("cannot write into %1: %2")
                                 .arg(directory, staged->errorString());
                return std::nullopt;
            }
            while (!in.atEnd()) {
                const QByteArray chunk = in.read(1 << 20);
                if (chunk.isEmpty() || staged->write(chunk) != chunk.size()) {
                    if (error)
                        *error = QStringLiteral("cannot write %1: %2")
                                     .arg(wantedPath, staged->errorString());
                    return std::nullopt;
                }
            }
            if (!staged->flush()) {
                if (error)
                    *error = QStringLiteral("cannot write %1: %2")
                                 .arg(wantedPath, staged->errorString());
                return std::nullopt;
            }
            ::fsync(staged->handle());
            from = staged->fileName();
            continue;
        }
        case MoveResult::Unsupported:
        case MoveResult::Failed:
            break;
        }
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(target, errnoText(err));
        return std::nullopt;
    }
    if (error)
        *error = QStringLiteral("cannot find a free name for %1").arg(wantedPath);
    return std::nullopt;
}

} // namespace OutputPlacement

QString OutputReservations::reserve(const QString& fileName, const QString& directory) {
    const QString path =
        OutputPlacement::returnSaveImageName(fileName, directory, 1, [&](const QString& name) {
            const QString candidate = directory + u'/' + name;
            return reserved_.contains(candidate) || QFileInfo(candidate).exists() ||
                   QFileInfo(candidate).isSymLink();
        });
    reserved_.insert(path);
    return path;
}
