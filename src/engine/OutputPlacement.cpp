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
#include <vector>

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

namespace {

RenameNoReplace renameHook = nullptr;
bool refuseUnnamedTempHook = false;

// The modification time to give a result; the access time stays as it is.
struct ModificationTime {
    struct timespec times[2];
    explicit ModificationTime(const QDateTime& when) {
        const qint64 ms = when.toMSecsSinceEpoch();
        times[0].tv_sec = 0;
        times[0].tv_nsec = UTIME_OMIT;
        times[1].tv_sec = static_cast<time_t>(ms / 1000);
        times[1].tv_nsec = static_cast<long>((ms % 1000) * 1000000);
    }
};

// Closes a file descriptor on scope exit.
struct FileDescriptor {
    int fd = -1;
    ~FileDescriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

// Removes a named file on scope exit unless told to keep it.
struct RemoveUnlessKept {
    QByteArray path;
    bool keep = false;
    ~RemoveUnlessKept() {
        if (!path.isEmpty() && !keep)
            ::unlink(path.constData());
    }
};

// Moves source to target only when target does not exist, atomically. 0 or an errno.
int moveNoReplace(const QByteArray& source, const QByteArray& target) {
    const int moved = renameHook ? renameHook(source.constData(), target.constData())
                                 : ::renameat2(AT_FDCWD, source.constData(), AT_FDCWD,
                                               target.constData(), RENAME_NOREPLACE);
    if (moved == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return errno;
    // File systems without RENAME_NOREPLACE: a hard link fails when the name exists.
    if (::link(source.constData(), target.constData()) != 0)
        return errno;
    ::unlink(source.constData());
    return 0;
}

// Copies everything from in to out and makes it durable. 0 or an errno.
int copyAll(int in, int out) {
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got == 0)
            break;
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(out, buffer.data() + done, got - done);
            if (put < 0 && errno != EINTR)
                return errno;
            done += qMax<ssize_t>(put, 0);
        }
    }
    return ::fsync(out) == 0 ? 0 : errno;
}

// Links the unnamed file fd into the folder as target. 0 or an errno (EEXIST when taken).
int linkUnnamed(int fd, const QByteArray& target) {
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, target.constData(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    if (errno != ENOENT) // no /proc: linking by descriptor needs a capability but may work
        return errno;
    return ::linkat(fd, "", AT_FDCWD, target.constData(), AT_EMPTY_PATH) == 0 ? 0 : errno;
}

// A hidden temporary in directory, created with 0666 so the umask decides its mode; its name
// is short so it fits wherever the result fits. The fd, or -1 with errno.
int createHiddenTemporary(const QString& directory, QByteArray* path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        *path = QFile::encodeName(directory) + "/.tessaro-" +
                QByteArray::number(QRandomGenerator::global()->generate64(), 36) + ".part";
        const int fd = ::open(path->constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

void setFileSystemFaultsForTests(RenameNoReplace rename, bool refuseUnnamedTemp) {
    renameHook = rename;
    refuseUnnamedTempHook = refuseUnnamedTemp;
}

Published publishNoReplace(const QString& source, const QString& wantedPath,
                           const IsTaken& alsoTaken,
                           const std::optional<QDateTime>& modificationTime) {
    const QFileInfo wanted(wantedPath);
    const QString directory = wanted.path();
    const QString fileName = wanted.fileName();
    QString target = wantedPath;
    const auto fail = [&](int err) {
        Published failed;
        failed.reason = err == ENAMETOOLONG ? Reason::NameTooLong : Reason::WriteFailed;
        failed.message = QStringLiteral("cannot write %1: %2")
                             .arg(target.isEmpty() ? wantedPath : target,
                                  err == ENAMETOOLONG ? QStringLiteral("the file name is too long")
                                                      : errnoText(err));
        return failed;
    };
    const std::optional<ModificationTime> dated =
        modificationTime && modificationTime->isValid()
            ? std::optional<ModificationTime>(*modificationTime)
            : std::nullopt;
    // Tries `place` on the wanted name and then on each next free one while names are taken.
    const auto placeUnderFreeName = [&](const std::function<int(const QByteArray&)>& place) {
        for (int attempt = 0; attempt < 100000; ++attempt) {
            if (target.isEmpty())
                return ENAMETOOLONG;
            const int err = place(QFile::encodeName(target));
            if (err != EEXIST)
                return err;
            target = uniqueName(fileName, directory, 1, [&](const QString& name) {
                const QString path = directory + u'/' + name;
                return entryExists(path) || (alsoTaken && alsoTaken(path));
            });
        }
        return EEXIST;
    };

    const QByteArray from = QFile::encodeName(source);
    // The work file is ours alone, in our private folder: dating it there is safe.
    if (dated)
        ::utimensat(AT_FDCWD, from.constData(), dated->times, AT_SYMLINK_NOFOLLOW);
    int err = placeUnderFreeName([&](const QByteArray& to) { return moveNoReplace(from, to); });
    if (err != EXDEV)
        return err == 0 ? Published{target, Reason::None, {}} : fail(err);

    // Another file system: copy into the output folder first, so the result still appears
    // under its name in one step. An unnamed file leaves nothing behind if we are killed.
    FileDescriptor in{::open(from.constData(), O_RDONLY | O_CLOEXEC)};
    if (in.fd < 0)
        return fail(errno);
    const QByteArray folder = QFile::encodeName(directory);
    FileDescriptor out{refuseUnnamedTempHook
                           ? -1
                           : ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666)};
    if (refuseUnnamedTempHook)
        errno = EOPNOTSUPP;
    if (out.fd >= 0) {
        if ((err = copyAll(in.fd, out.fd)) != 0)
            return fail(err);
        if (dated)
            ::futimens(out.fd, dated->times);
        err = placeUnderFreeName([&](const QByteArray& to) { return linkUnnamed(out.fd, to); });
    } else {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return fail(errno);
        // No unnamed files here: a hidden named one, removed on every failure.
        RemoveUnlessKept staged;
        out.fd = createHiddenTemporary(directory, &staged.path);
        if (out.fd < 0)
            return fail(errno);
        if ((err = copyAll(in.fd, out.fd)) != 0)
            return fail(err);
        if (dated)
            ::futimens(out.fd, dated->times);
        err = placeUnderFreeName(
            [&](const QByteArray& to) { return moveNoReplace(staged.path, to); });
        staged.keep = err == 0;
    }
    if (err != 0)
        return fail(err);
    ::unlink(from.constData());
    return Published{target, Reason::None, {}};
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
