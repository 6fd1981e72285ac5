#include "PrivateFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace PrivateFolder {

bool isPrivate(const QString& path, QString* why) {
    const auto fail = [&](const QString& reason) {
        if (why)
            *why = QStringLiteral("%1 %2").arg(path, reason);
        return false;
    };
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return fail(
            QStringLiteral("cannot be read: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    if (S_ISLNK(st.st_mode))
        return fail(QStringLiteral("is a link"));
    if (!S_ISDIR(st.st_mode))
        return fail(QStringLiteral("is not a folder"));
    if (st.st_uid != ::getuid())
        return fail(QStringLiteral("belongs to another user"));
    if (st.st_mode & (S_IWGRP | S_IWOTH))
        return fail(QStringLiteral("can be written by other users"));
    return true;
}

namespace {
void makeIfMissing(const QString& path, const QByteArray& native) {
    if (::mkdir(native.constData(), 0700) != 0 && errno == ENOENT) {
        QDir().mkpath(QFileInfo(path).path());
        ::mkdir(native.constData(), 0700);
    }
}
} // namespace

bool makeOrCheck(const QString& path, QString* why) {
    makeIfMissing(path, QFile::encodeName(path));
    return isPrivate(path, why);
}

bool makeOrRepair(const QString& path, QString* why) {
    const QByteArray native = QFile::encodeName(path);
    makeIfMissing(path, native);
    // Through a descriptor: a link in the folder's place is neither followed nor changed.
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        struct stat st;
        if (::fstat(fd, &st) == 0 && st.st_uid == ::getuid() && (st.st_mode & 07777) != 0700)
            ::fchmod(fd, 0700);
        ::close(fd);
    }
    return isPrivate(path, why);
}

namespace {
int restrictEntry(const char* path, const struct stat* st, int type, struct FTW*) {
    if (type == FTW_D || type == FTW_DP)
        ::chmod(path, 0700);
    else if (type == FTW_F && (st->st_mode & 077))
        ::chmod(path, st->st_mode & 0700 & ~S_IXUSR);
    return 0;
}
} // namespace

void restrictTree(const QString& path) {
    // FTW_PHYS: links are neither followed nor changed.
    ::nftw(QFile::encodeName(path).constData(), restrictEntry, 16, FTW_PHYS);
}

} // namespace PrivateFolder
