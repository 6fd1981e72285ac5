#include "FolderWalk.h"

#include "FileIntake.h"
#include "RawNames.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

enum class EntryKind { Folder, LinkToFolder, File, Other };

EntryKind kindOf(const QByteArray& path, unsigned char type) {
    struct stat st;
    if (type == DT_UNKNOWN) {
        if (::lstat(path.constData(), &st) != 0)
            return EntryKind::Other;
        type = S_ISLNK(st.st_mode) ? DT_LNK : S_ISDIR(st.st_mode) ? DT_DIR : DT_REG;
    }
    if (type == DT_DIR)
        return EntryKind::Folder;
    if (type != DT_LNK)
        return type == DT_REG ? EntryKind::File : EntryKind::Other;
    if (::stat(path.constData(), &st) != 0)
        return EntryKind::Other; // a dangling link: the intake says what is wrong with it
    return S_ISDIR(st.st_mode) ? EntryKind::LinkToFolder : EntryKind::File;
}

} // namespace

struct FolderWalk::Level {
    std::unique_ptr<DIR, DirCloser> dir;
    QString path;
    QByteArray rawPath;
    QString subfolder;
};

FolderWalk::FolderWalk(const QString& folder, const QList<ConvertMode>& modes, bool recursive)
    : modes_(modes), recursive_(recursive) {
    pending_ = enter(folder, QString());
}

FolderWalk::~FolderWalk() = default;

std::optional<WalkItem> FolderWalk::enter(const QString& path, const QString& subfolder) {
    auto level = std::make_unique<Level>();
    level->path = path;
    level->rawPath = QFile::encodeName(path);
    level->subfolder = subfolder;
    level->dir.reset(::opendir(level->rawPath.constData()));
    if (!level->dir)
        return WalkItem::skippedPath(path, Reason::Unreadable,
                                     QStringLiteral("cannot read this folder: %1")
                                         .arg(QString::fromLocal8Bit(std::strerror(errno))));
    levels_.push_back(std::move(level));
    return std::nullopt;
}

std::optional<WalkItem> FolderWalk::next() {
    if (pending_)
        return std::exchange(pending_, std::nullopt);
    while (!levels_.empty()) {
        Level& level = *levels_.back();
        const dirent* entry = ::readdir(level.dir.get());
        if (entry == nullptr) {
            levels_.pop_back();
            continue;
        }
        const QByteArray name(entry->d_name);
        if (name == "." || name == ".." || (recursive_ && name.startsWith('.')))
            continue;
        const QByteArray rawPath = level.rawPath + '/' + name;
        const EntryKind kind = kindOf(rawPath, entry->d_type);
        if (kind == EntryKind::LinkToFolder || (kind == EntryKind::Folder && !recursive_))
            continue;
        const bool validName = RawNames::isValidName(name);
        const QString shownPath =
            level.path + u'/' +
            (validName ? QFile::decodeName(name) : RawNames::readableName(name));
        if (kind == EntryKind::Folder) {
            if (!validName)
                return WalkItem::skippedPath(shownPath, Reason::NotUtf8FolderName);
            const QString child = QFile::decodeName(name);
            const QString subfolder =
                level.subfolder.isEmpty() ? child : level.subfolder + u'/' + child;
            if (auto failure = enter(shownPath, subfolder))
                return failure;
            continue;
        }
        if (!FileIntake::modeForPath(QFile::decodeName(name), modes_))
            continue;
        if (!validName)
            return WalkItem::skippedPath(shownPath, Reason::NotUtf8FileName);
        WalkItem item;
        item.path = shownPath;
        item.subfolder = level.subfolder;
        return item;
    }
    return std::nullopt;
}
