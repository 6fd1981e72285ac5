#include "OutputPlacement.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace OutputPlacement {

namespace {

RenameNoReplace renameHook = nullptr;
bool refuseUnnamedTempHook = false;

// Closes a file descriptor on scope exit.
struct FileDescriptor {
    int fd = -1;
    FileDescriptor() = default;
    explicit FileDescriptor(int descriptor) : fd(descriptor) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { reset(-1); }
    void reset(int descriptor) {
        if (fd >= 0)
            ::close(fd);
        fd = descriptor;
    }
};

// Removes a name in a folder on scope exit unless told to keep it.
struct RemoveUnlessKept {
    int folder = -1;
    QByteArray name;
    bool keep = false;
    ~RemoveUnlessKept() {
        if (!name.isEmpty() && !keep)
            ::unlinkat(folder, name.constData(), 0);
    }
};

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

QString errnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Moves source into folder as name only when name does not exist, atomically. 0 or an errno.
int moveNoReplace(int fromFolder, const QByteArray& source, int folder, const QByteArray& name) {
    const int moved = renameHook && fromFolder == AT_FDCWD
                          ? renameHook(source.constData(), folder, name.constData())
                          : ::renameat2(fromFolder, source.constData(), folder, name.constData(),
                                        RENAME_NOREPLACE);
    if (moved == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return errno;
    // File systems without RENAME_NOREPLACE: a hard link fails when the name exists.
    if (::linkat(fromFolder, source.constData(), folder, name.constData(), 0) != 0)
        return errno;
    ::unlinkat(fromFolder, source.constData(), 0);
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

// Links the unnamed file fd into folder as name. 0 or an errno (EEXIST when taken).
int linkUnnamed(int fd, int folder, const QByteArray& name) {
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    if (::linkat(AT_FDCWD, self.constData(), folder, name.constData(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    if (errno != ENOENT) // no /proc: linking by descriptor needs a capability but may work
        return errno;
    return ::linkat(fd, "", folder, name.constData(), AT_EMPTY_PATH) == 0 ? 0 : errno;
}

// A hidden temporary in folder, created with 0666 so the umask decides its mode; its name is
// short so it fits wherever the result fits. The fd, or -1 with errno.
int createHiddenTemporary(int folder, QByteArray* name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        *name = ".tessaro-" + QByteArray::number(QRandomGenerator::global()->generate64(), 36) +
                ".part";
        const int fd =
            ::openat(folder, name->constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// The folder a result goes into, by descriptor: the output folder as given (the user chose
// it), then each mirrored subfolder, made when missing and entered without following a link.
// -1 with errno set; ELOOP with linkName set when a subfolder is a link (or not a folder).
int openResultFolder(const QString& outputFolder, const QString& subfolder, QString* linkName) {
    FileDescriptor folder(
        ::open(QFile::encodeName(outputFolder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (folder.fd < 0)
        return -1;
    QString walked = outputFolder;
    for (const QString& part : subfolder.split(u'/', Qt::SkipEmptyParts)) {
        const QByteArray name = QFile::encodeName(part);
        walked += u'/' + part;
        if (::mkdirat(folder.fd, name.constData(), 0777) != 0 && errno != EEXIST)
            return -1;
        const int next =
            ::openat(folder.fd, name.constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0) {
            if (errno == ELOOP || errno == ENOTDIR) {
                *linkName = walked;
                errno = ELOOP;
            }
            return -1;
        }
        folder.reset(next);
    }
    return std::exchange(folder.fd, -1);
}

} // namespace

void setFileSystemFaultsForTests(RenameNoReplace rename, bool refuseUnnamedTemp) {
    renameHook = rename;
    refuseUnnamedTempHook = refuseUnnamedTemp;
}

Published publishNoReplace(const QString& source, const QString& outputFolder,
                           const QString& subfolder, const QString& fileName,
                           const IsTaken& alsoTaken,
                           const std::optional<QDateTime>& modificationTime) {
    const QString directory = resultFolder(outputFolder, subfolder);
    const QString wanted = directory + u'/' + fileName;
    QString target = wanted;
    QString linkName;
    const auto fail = [&](int err) {
        Published failed;
        failed.reason = err == ENAMETOOLONG   ? Reason::NameTooLong
                        : !linkName.isEmpty() ? Reason::LinkInOutputTree
                                              : Reason::WriteFailed;
        const QString why =
            err == ENAMETOOLONG ? QStringLiteral("the file name is too long") : errnoText(err);
        failed.message =
            linkName.isEmpty()
                ? QStringLiteral("cannot write %1: %2").arg(target.isEmpty() ? wanted : target, why)
                : QStringLiteral("cannot write %1: %2 is a link; results are never written "
                                 "through links")
                      .arg(wanted, linkName);
        return failed;
    };
    const std::optional<ModificationTime> dated =
        modificationTime && modificationTime->isValid()
            ? std::optional<ModificationTime>(*modificationTime)
            : std::nullopt;
    FileDescriptor folder(openResultFolder(outputFolder, subfolder, &linkName));
    if (folder.fd < 0)
        return fail(errno);

    // Tries `place` on the wanted name and then on each next free one while names are taken.
    const auto placeUnderFreeName = [&](const std::function<int(const QByteArray&)>& place) {
        for (int attempt = 0; attempt < 100000; ++attempt) {
            if (target.isEmpty())
                return ENAMETOOLONG;
            const int err = place(QFile::encodeName(QFileInfo(target).fileName()));
            if (err != EEXIST)
                return err;
            target = uniqueName(fileName, directory, 1, [&](const QString& name) {
                struct stat st;
                return ::fstatat(folder.fd, QFile::encodeName(name).constData(), &st,
                                 AT_SYMLINK_NOFOLLOW) == 0 ||
                       (alsoTaken && alsoTaken(directory + u'/' + name));
            });
        }
        return EEXIST;
    };

    const QByteArray from = QFile::encodeName(source);
    // The work file is ours alone, in our private folder: dating it there is safe.
    if (dated)
        ::utimensat(AT_FDCWD, from.constData(), dated->times, AT_SYMLINK_NOFOLLOW);
    int err = placeUnderFreeName(
        [&](const QByteArray& name) { return moveNoReplace(AT_FDCWD, from, folder.fd, name); });
    if (err != EXDEV)
        return err == 0 ? Published{target, Reason::None, {}} : fail(err);

    // Another file system: copy into the output folder first, so the result still appears
    // under its name in one step. An unnamed file leaves nothing behind if we are killed.
    FileDescriptor in(::open(from.constData(), O_RDONLY | O_CLOEXEC));
    if (in.fd < 0)
        return fail(errno);
    FileDescriptor out(refuseUnnamedTempHook
                           ? -1
                           : ::openat(folder.fd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (refuseUnnamedTempHook)
        errno = EOPNOTSUPP;
    if (out.fd >= 0) {
        if ((err = copyAll(in.fd, out.fd)) != 0)
            return fail(err);
        if (dated)
            ::futimens(out.fd, dated->times);
        err = placeUnderFreeName(
            [&](const QByteArray& name) { return linkUnnamed(out.fd, folder.fd, name); });
    } else {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return fail(errno);
        // No unnamed files here: a hidden named one, removed on every failure.
        RemoveUnlessKept staged{folder.fd, {}, false};
        out.reset(createHiddenTemporary(folder.fd, &staged.name));
        if (out.fd < 0)
            return fail(errno);
        if ((err = copyAll(in.fd, out.fd)) != 0)
            return fail(err);
        if (dated)
            ::futimens(out.fd, dated->times);
        err = placeUnderFreeName([&](const QByteArray& name) {
            return moveNoReplace(folder.fd, staged.name, folder.fd, name);
        });
        staged.keep = err == 0;
    }
    if (err != 0)
        return fail(err);
    ::unlink(from.constData());
    return Published{target, Reason::None, {}};
}

} // namespace OutputPlacement
