#include "InputScanner.h"

#include "FileIntake.h"
#include "RawNames.h"

#include <QDir>
#include <QFileInfo>

InputScanner::InputScanner(const QStringList& arguments, const QList<ConvertMode>& modes,
                           bool recursive)
    : arguments_(arguments), modes_(modes), recursive_(recursive) {}

InputScanner::~InputScanner() = default;

std::optional<WalkItem> InputScanner::next() {
    const QDir current = QDir::current();
    for (;;) {
        std::optional<WalkItem> item;
        if (walk_) {
            item = walk_->next();
            if (!item) {
                walk_.reset();
                continue;
            }
        } else {
            if (nextArgument_ >= arguments_.size())
                return std::nullopt;
            const QString& argument = arguments_.at(nextArgument_++);
            if (RawNames::isUndecodable(argument))
                return WalkItem::skippedPath(
                    QDir::cleanPath(current.absoluteFilePath(RawNames::shownName(argument))),
                    Reason::NotUtf8FileName);
            const QString path = QDir::cleanPath(current.absoluteFilePath(argument));
            const QFileInfo info(path);
            if (!info.exists() && !info.isSymLink())
                return WalkItem::skippedPath(path, Reason::Missing);
            if (info.isDir()) {
                walk_ = std::make_unique<FolderWalk>(path, modes_, recursive_);
                continue;
            }
            item = WalkItem{};
            item->path = path;
        }
        if (item->reason != Reason::None)
            return item;
        // The same file named twice (or named and found in a folder) is one input.
        if (seen_.contains(qHash(item->path, 0)))
            continue;
        seen_.insert(qHash(item->path, 0));
        return item;
    }
}
