#pragma once
#include "Vocabulary.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

// What a folder walk turns up, one entry at a time.
struct WalkItem {
    QString path;      // the file (or, when it cannot be taken, the entry as people read it)
    QString subfolder; // the file's folder relative to the walked folder; "" at the top
    Reason reason = Reason::None; // why it cannot be taken; None for a file to take
    QString detail;               // that reason in words, where it needs more

    static WalkItem skippedPath(const QString& path, Reason reason, const QString& detail = {}) {
        WalkItem item;
        item.path = path;
        item.reason = reason;
        item.detail = detail;
        return item;
    }
};

// Walks a folder by its raw directory entries, so names that are not valid UTF-8 are seen
// and reported instead of vanishing. Yields the files whose extension one of the modes
// accepts, in listing order; nothing else is read. One level: hidden files count, folders
// are passed over. Recursive: depth first, hidden files and folders are passed over, links
// to folders are not followed (no loops), unreadable folders are reported. Keeps one open
// directory per level, whatever the number of files.
class FolderWalk {
public:
    FolderWalk(const QString& folder, const QList<ConvertMode>& modes, bool recursive);
    ~FolderWalk();
    FolderWalk(const FolderWalk&) = delete;
    FolderWalk& operator=(const FolderWalk&) = delete;

    // The next item, nothing once the walk is over.
    std::optional<WalkItem> next();

private:
    struct Level;
    std::optional<WalkItem> enter(const QString& path, const QString& subfolder);

    QList<ConvertMode> modes_;
    bool recursive_;
    std::vector<std::unique_ptr<Level>> levels_;
    std::optional<WalkItem> pending_; // the root's own failure, reported first
};
