#include "FolderWatcher.h"

#include "RawNames.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// IN_CREATE and IN_DELETE/IN_MOVED_FROM are wanted for folders (to follow the tree) and to
// forget files; IN_UNMOUNT and IN_IGNORED come without asking.
constexpr quint32 WatchMask = IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                              IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
constexpr quint32 SelfGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED;

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

struct FileCloser {
    int fd;
    ~FileCloser() {
        if (fd >= 0)
            ::close(fd);
    }
};

QString reasonFor(int err) {
    if (err == ENOSPC) // inotify's word for the per-user watch limit
        return QStringLiteral("the system's limit of watched folders is reached "
                              "(fs.inotify.max_user_watches)");
    return QString::fromLocal8Bit(std::strerror(err));
}

bool isUnder(const QString& path, const QString& folder) {
    return path.size() > folder.size() && path.startsWith(folder) && path.at(folder.size()) == u'/';
}

template <typename Map> void forgetUnder(Map& map, const QString& folder) {
    for (auto it = map.begin(); it != map.end();)
        it = isUnder(it.key(), folder) ? map.erase(it) : std::next(it);
}

} // namespace

FolderWatcher::FolderWatcher(Depth depth, QObject* parent)
    : QObject(parent), depth_(depth), fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    pendingTimer_.setSingleShot(true);
    connect(&pendingTimer_, &QTimer::timeout, this, &FolderWatcher::checkPending);
    if (fd_ < 0)
        return;
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &FolderWatcher::readEvents);
}

FolderWatcher::~FolderWatcher() {
    delete notifier_; // before the descriptor it polls goes
    if (fd_ >= 0)
        ::close(fd_);
}

void FolderWatcher::setFileFilter(FileFilter accepts) {
    accepts_ = std::move(accepts);
}

void FolderWatcher::setExcludedFolders(const QStringList& folders) {
    excluded_.clear();
    for (const QString& folder : folders)
        excluded_ << QDir::cleanPath(QDir(folder).absolutePath());
}

void FolderWatcher::setSettleInterval(int milliseconds) {
    settleInterval_ = milliseconds;
}

bool FolderWatcher::addFolder(const QString& folder, ExistingFiles existing, QString* error) {
    const QString path = QDir::cleanPath(QDir(folder).absolutePath());
    if (fd_ < 0) {
        if (error)
            *error = QStringLiteral("cannot watch %1: %2").arg(path, reasonFor(errno));
        return false;
    }
    struct stat st;
    Root root{path, -1, 0, 0, false};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        root.device = st.st_dev;
        root.inode = st.st_ino;
    }
    for (const Root& other : roots_) {
        if (!other.lost && other.device == root.device && other.inode == root.inode) {
            if (error)
                *error = QStringLiteral("cannot watch %1: it is watched already as %2")
                             .arg(path, other.path);
            return false;
        }
    }
    roots_.push_back(root);
    if (watchTree(path, int(roots_.size()) - 1, QString(), existing, error))
        return true;
    roots_.pop_back();
    return false;
}

bool FolderWatcher::watchTree(const QString& path, int root, const QString& subfolder,
                              ExistingFiles existing, QString* error) {
    const bool isRoot = path == roots_[root].path;
    const QByteArray rawPath = QFile::encodeName(path);
    // Below the root a link to a folder is not followed: the tree must not loop.
    const int wd =
        ::inotify_add_watch(fd_, rawPath.constData(), WatchMask | (isRoot ? 0 : IN_DONT_FOLLOW));
    if (wd < 0) {
        const int err = errno;
        if (isRoot && error)
            *error = QStringLiteral("cannot watch %1: %2").arg(path, reasonFor(err));
        else if (!isRoot && err != ENOENT && err != ENOTDIR) // not vanished again already
            Q_EMIT subfolderNotWatched(path, reasonFor(err));
        return false;
    }
    const auto known = watches_.constFind(wd);
    if (known != watches_.constEnd() && known->path != path) { // watched already, another way
        if (isRoot && error)
            *error = QStringLiteral("cannot watch %1: it is watched already as %2")
                         .arg(path, known->path);
        return !isRoot;
    }
    watches_.insert(wd, Watch{path, subfolder, root});
    if (isRoot)
        roots_[root].wd = wd;

    const std::unique_ptr<DIR, DirCloser> dir(::opendir(rawPath.constData()));
    if (!dir)
        return true; // unreadable: arrivals still come as events
    while (const dirent* entry = ::readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        if (name.startsWith('.') || !RawNames::isValidName(name))
            continue;
        const QString child = path + u'/' + QFile::decodeName(name);
        struct stat st;
        if (::lstat(QFile::encodeName(child).constData(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            if (depth_ == Depth::Recursive && !isExcluded(child))
                watchTree(child, root,
                          subfolder.isEmpty() ? QFile::decodeName(name)
                                              : subfolder + u'/' + QFile::decodeName(name),
                          existing, nullptr);
        } else if (S_ISREG(st.st_mode) && (!accepts_ || accepts_(child))) {
            if (existing == ExistingFiles::Report)
                pending_.insert(child, Pending{subfolder, {}, false});
            else
                known_.insert(child, stampOf(st));
        }
    }
    if (!pending_.isEmpty() && !pendingTimer_.isActive())
        pendingTimer_.start(0);
    return true;
}

void FolderWatcher::readEvents() {
    alignas(inotify_event) std::array<char, 64 * 1024> buffer;
    for (;;) {
        const ssize_t length = ::read(fd_, buffer.data(), buffer.size());
        if (length <= 0)
            return; // EAGAIN: drained
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
            handleEvent(event->wd, event->mask,
                        event->len ? QByteArray(event->name) : QByteArray());
            at += ssize_t(sizeof(inotify_event)) + event->len;
        }
    }
}

void FolderWatcher::handleEvent(int wd, quint32 mask, const QByteArray& name) {
    if (mask & IN_Q_OVERFLOW)
        return rescan();
    const auto found = watches_.constFind(wd);
    if (found == watches_.constEnd())
        return; // a watch already dropped
    const Watch watch = *found;
    if (mask & SelfGone) {
        if (roots_[watch.root].wd == wd)
            loseRoot(watch.root);
        else if (mask & IN_IGNORED)
            watches_.remove(wd);
        // A subfolder moved away was dropped at its parent's IN_MOVED_FROM.
        return;
    }
    if (name.isEmpty() || name.startsWith('.') || !RawNames::isValidName(name))
        return;
    const QString path = watch.path + u'/' + QFile::decodeName(name);
    if ((mask & (IN_DELETE | IN_MOVED_FROM)) && (mask & IN_ISDIR))
        return dropTree(path);
    if (mask & (IN_DELETE | IN_MOVED_FROM)) {
        known_.remove(path);
        pending_.remove(path);
        return;
    }
    if (mask & IN_ISDIR) {
        if ((mask & (IN_CREATE | IN_MOVED_TO)) && depth_ == Depth::Recursive && !isExcluded(path))
            watchTree(path, watch.root,
                      watch.subfolder.isEmpty() ? QFile::decodeName(name)
                                                : watch.subfolder + u'/' + QFile::decodeName(name),
                      ExistingFiles::Report, nullptr);
        return;
    }
    if ((mask & (IN_CLOSE_WRITE | IN_MOVED_TO)) && (!accepts_ || accepts_(path)))
        consider(path, watch.subfolder, Arrival::Complete);
}

void FolderWatcher::consider(const QString& path, const QString& subfolder, Arrival arrival) {
    const QByteArray rawPath = QFile::encodeName(path);
    struct stat st;
    if (::lstat(rawPath.constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
        pending_.remove(path);
        return;
    }
    const Stamp stamp = stampOf(st);
    const auto seen = known_.constFind(path);
    if (seen != known_.constEnd() && *seen == stamp) {
        pending_.remove(path);
        return;
    }
    if (arrival == Arrival::Found) {
        const Writers writers = writersOf(rawPath);
        Pending& waiting = pending_[path];
        const bool settled = waiting.stampSeen && waiting.stamp == stamp;
        waiting = Pending{subfolder, stamp, true};
        if (writers == Writers::Some || (writers == Writers::Unknown && !settled))
            return;
    }
    pending_.remove(path);
    if (st.st_size == 0)
        return; // an empty file is a placeholder its writer fills later, never an image
    known_.insert(path, stamp);
    Q_EMIT fileReady(path, subfolder);
}

void FolderWatcher::checkPending() {
    const QStringList paths = pending_.keys();
    for (const QString& path : paths) {
        const auto waiting = pending_.constFind(path);
        if (waiting != pending_.constEnd())
            consider(path, waiting->subfolder, Arrival::Found);
    }
    if (!pending_.isEmpty())
        pendingTimer_.start(settleInterval_);
}

FolderWatcher::Stamp FolderWatcher::stampOf(const struct stat& st) {
    return Stamp{st.st_dev, st.st_ino, st.st_size,
                 st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec};
}

FolderWatcher::Writers FolderWatcher::writersOf(const QByteArray& rawPath) {
    const FileCloser file{
        ::open(rawPath.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC)};
    if (file.fd < 0)
        return Writers::Unknown;
    // A read lease is refused while anyone has the file open for writing. Should a writer open
    // it in the instant the lease is held, the kernel signals the holder: SIGURG is ignored
    // by default, SIGIO would end the process.
    ::fcntl(file.fd, F_SETSIG, SIGURG);
    if (::fcntl(file.fd, F_SETLEASE, F_RDLCK) == 0) {
        ::fcntl(file.fd, F_SETLEASE, F_UNLCK);
        return Writers::None;
    }
    return errno == EAGAIN ? Writers::Some : Writers::Unknown;
}

void FolderWatcher::rescan() {
    // Events were lost: a root may be gone unseen, and any file may have arrived unseen.
    for (int root = 0; root < int(roots_.size()); ++root) {
        if (roots_[root].lost)
            continue;
        struct stat st;
        if (::stat(QFile::encodeName(roots_[root].path).constData(), &st) != 0 ||
            st.st_dev != roots_[root].device || st.st_ino != roots_[root].inode ||
            !watchTree(roots_[root].path, root, QString(), ExistingFiles::Report, nullptr))
            loseRoot(root);
    }
}

void FolderWatcher::dropTree(const QString& path) {
    for (auto it = watches_.begin(); it != watches_.end();) {
        if (it->path == path || isUnder(it->path, path)) {
            ::inotify_rm_watch(fd_, it.key());
            it = watches_.erase(it);
        } else {
            ++it;
        }
    }
    forgetUnder(known_, path);
    forgetUnder(pending_, path);
}

void FolderWatcher::loseRoot(int root) {
    Root& lost = roots_[root];
    if (lost.lost)
        return;
    lost.lost = true;
    for (auto it = watches_.begin(); it != watches_.end();) {
        if (it->root != root) {
            ++it;
            continue;
        }
        ::inotify_rm_watch(fd_, it.key()); // EINVAL for a watch the kernel dropped: harmless
        it = watches_.erase(it);
    }
    forgetUnder(known_, lost.path);
    forgetUnder(pending_, lost.path);
    Q_EMIT folderLost(lost.path);
}

bool FolderWatcher::isExcluded(const QString& folder) const {
    if (excluded_.isEmpty())
        return false;
    struct stat st, other;
    const bool exists = ::stat(QFile::encodeName(folder).constData(), &st) == 0;
    for (const QString& excluded : excluded_) {
        if (excluded == folder)
            return true;
        if (exists && ::stat(QFile::encodeName(excluded).constData(), &other) == 0 &&
            st.st_dev == other.st_dev && st.st_ino == other.st_ino)
            return true;
    }
    return false;
}
