#include "FileIntake.h"

#include "FolderWalk.h"
#include "ModeTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>

namespace FileIntake {

namespace {

// Reads the header only; an unreadable file is 0 x 0 and passes.
bool exceedsMaxImageSide(const QString& path) {
    QImageReader reader(path);
    const QSize size = reader.size();
    return size.isValid() && (size.width() > MaxImageSide || size.height() > MaxImageSide);
}

// Why a path with an extension no mode takes was left out.
QString extensionDetail(const QString& path, const QList<ConvertMode>& modes) {
    const QString extension = pathExtension(path);
    const QString what = extension.isEmpty()
                             ? QStringLiteral("a name without extension")
                             : QStringLiteral("the extension \"%1\"").arg(extension);
    return QStringLiteral("this conversion does not take %1 (it takes %2)")
        .arg(what, ModeTable::extensionsOf(modes).join(QStringLiteral(", ")));
}

} // namespace

QString listLimitMessage(qint64 limit) {
    return QCoreApplication::translate("FileIntake", "You can only upload %1 pictures").arg(limit);
}

bool isDirectory(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

qint64 fileSize(const QString& path) {
    const QFileInfo info(path);
    return info.exists() ? info.size() : 0;
}

QString pathExtension(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

std::optional<ConvertMode> modeForPath(const QString& path, const QList<ConvertMode>& modes) {
    return ModeTable::modeForExtension(pathExtension(path), modes);
}

QStringList scanFolder(const QList<ConvertMode>& modes, const QString& dir) {
    QStringList found;
    FolderWalk walk(dir, modes, /*recursive=*/false);
    while (const std::optional<WalkItem> item = walk.next()) {
        if (item->reason == Reason::None)
            found.append(item->path);
    }
    return found;
}

IntakeResult collect(const QStringList& candidates, const QList<ConvertMode>& modes,
                     const QSet<QString>& existingPaths, qint64 room, bool checkExtension) {
    IntakeResult result;
    QSet<QString> seen;
    qint64 added = 0;
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        const QString& path = candidates.at(i);
        if (added >= room) {
            result.listFull = true;
            for (qsizetype k = i; k < candidates.size(); ++k) {
                const QString& rest = candidates.at(k);
                if (!existingPaths.contains(rest) && !seen.contains(rest)) {
                    seen.insert(rest);
                    result.dropped.append(rest);
                }
            }
            break;
        }
        const std::optional<ConvertMode> matched = modeForPath(path, modes);
        if (!matched && checkExtension) {
            result.skipped.append({path, Reason::WrongExtension, extensionDetail(path, modes)});
            continue;
        }
        if (existingPaths.contains(path) || seen.contains(path))
            continue;
        seen.insert(path);
        const QFileInfo info(path);
        // A pipe or device would block the header read, and no tool can take it either.
        if (info.exists() && !info.isFile()) {
            result.skipped.append({path, Reason::NotRegularFile, {}});
            continue;
        }
        if (info.exists() && exceedsMaxImageSide(path)) {
            result.oversize = true;
            result.oversized.append(path);
            continue;
        }
        Job job = makeJob(path);
        if (modes.size() > 1)
            job.mode = matched.value_or(modes.first());
        result.jobs.append(std::move(job));
        ++added;
    }
    return result;
}

Expansion expand(const QStringList& paths, const QList<ConvertMode>& modes, bool recursive) {
    Expansion expansion;
    for (const QString& path : paths) {
        if (!isDirectory(path)) {
            expansion.candidates.append(path);
            continue;
        }
        FolderWalk walk(QDir::cleanPath(path), modes, recursive);
        while (const std::optional<WalkItem> item = walk.next()) {
            if (item->reason != Reason::None) {
                expansion.skipped.append({item->path, item->reason, item->detail});
                continue;
            }
            expansion.candidates.append(item->path);
            if (!item->subfolder.isEmpty())
                expansion.subfolders.insert(item->path, item->subfolder);
        }
    }
    return expansion;
}

void applyExpansion(const Expansion& expansion, IntakeResult* result) {
    if (!expansion.subfolders.isEmpty()) {
        for (Job& job : result->jobs)
            job.outputSubfolder = expansion.subfolders.value(job.path);
    }
    result->skipped.append(expansion.skipped);
}

} // namespace FileIntake
