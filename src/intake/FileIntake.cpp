#include "FileIntake.h"

#include "FolderWalk.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

namespace FileIntake {

namespace {

const QStringList& webpExtensions() {
    static const QStringList list{QStringLiteral("webp"), QStringLiteral("WEBP")};
    return list;
}

const QStringList& stillImageExtensions() {
    static const QStringList list{QStringLiteral("png"),  QStringLiteral("jpg"),
                                  QStringLiteral("jpeg"), QStringLiteral("PNG"),
                                  QStringLiteral("JPG"),  QStringLiteral("JPEG")};
    return list;
}

const QStringList& gifExtensions() {
    static const QStringList list{QStringLiteral("gif"), QStringLiteral("GIF")};
    return list;
}

const QStringList& extensionsFor(qint64 mode) {
    if (mode == ConvertMode::ImageToWebp)
        return stillImageExtensions();
    if (mode == ConvertMode::GifToWebp)
        return gifExtensions();
    return webpExtensions();
}

// Reads the header only; an unreadable file is 0 x 0 and passes.
bool exceedsMaxDimension(const QString& path) {
    QImageReader reader(path);
    const QSize size = reader.size();
    return size.isValid() && (size.width() > MaxDimension || size.height() > MaxDimension);
}

IntakeResult collectJobs(const QStringList& candidates, const QList<qint64>& modes,
                         const QSet<QString>& existingPaths, qint64 room, bool checkExtension,
                         bool assignModes) {
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
        const std::optional<qint64> matched = modeForPath(path, modes);
        if (!matched && checkExtension) {
            result.skipped.append({path, extensionReason(path, modes), true});
            continue;
        }
        const qint64 mode =
            matched.value_or(modes.isEmpty() ? ConvertMode::WebpToJpg : modes.first());
        if (existingPaths.contains(path) || seen.contains(path))
            continue;
        seen.insert(path);
        const QFileInfo info(path);
        // A pipe or device would block the header read, and no tool can take it either.
        if (info.exists() && !info.isFile()) {
            result.skipped.append({path, QStringLiteral("not a regular file")});
            continue;
        }
        if (info.exists() && exceedsMaxDimension(path)) {
            result.oversize = true;
            result.oversized.append(path);
            continue;
        }
        PicModel job = makePicModel(path);
        if (assignModes)
            job.mode = mode;
        result.jobs.append(std::move(job));
        ++added;
    }
    return result;
}

} // namespace

QStringList acceptedExtensions(qint64 mode) {
    return extensionsFor(mode);
}

QStringList openPanelFileTypes(qint64 mode) {
    if (mode == ConvertMode::ImageToWebp)
        return {QStringLiteral("jpg"), QStringLiteral("png"), QStringLiteral("jpeg")};
    if (mode == ConvertMode::GifToWebp)
        return {QStringLiteral("gif")};
    return {QStringLiteral("webp")};
}

bool isDirectory(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

qint64 fileSizeAtPath(const QString& path) {
    const QFileInfo info(path);
    return info.exists() ? info.size() : 0;
}

QString pathExtension(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

std::optional<qint64> modeForPath(const QString& path, const QList<qint64>& modes) {
    const QString extension = pathExtension(path);
    for (qint64 mode : modes) {
        if (extensionsFor(mode).contains(extension))
            return mode;
    }
    return std::nullopt;
}

QStringList getDirFileWithExtType(qint64 mode, const QString& dir) {
    return getDirFileWithExtTypes({mode}, dir);
}

QStringList getDirFileWithExtTypes(const QList<qint64>& modes, const QString& dir) {
    QStringList found;
    FolderWalk walk(dir, modes, /*recursive=*/false);
    while (const std::optional<WalkItem> item = walk.next()) {
        if (!item->skipped)
            found.append(item->path);
    }
    return found;
}

QStringList expandCandidates(const QStringList& paths, qint64 mode) {
    return expandCandidates(paths, QList<qint64>{mode});
}

QStringList expandCandidates(const QStringList& paths, const QList<qint64>& modes) {
    QStringList candidates;
    candidates.reserve(paths.size());
    for (const QString& path : paths) {
        if (isDirectory(path))
            candidates.append(getDirFileWithExtTypes(modes, path));
        else
            candidates.append(path);
    }
    return candidates;
}

Expansion expand(const QStringList& paths, const QList<qint64>& modes, bool recursive) {
    Expansion expansion;
    for (const QString& path : paths) {
        if (!isDirectory(path)) {
            expansion.candidates.append(path);
            continue;
        }
        FolderWalk walk(QDir::cleanPath(path), modes, recursive);
        while (const std::optional<WalkItem> item = walk.next()) {
            if (item->skipped) {
                expansion.skipped.append({item->path, item->reason});
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
        for (PicModel& job : result->jobs)
            job.outputSubfolder = expansion.subfolders.value(job.url);
    }
    result->skipped.append(expansion.skipped);
}

QString uploadLimitMessage(qint64 limit) {
    return QString::asprintf(UploadLimitFormat, static_cast<long>(limit));
}

QString oversizeMessage() {
    return QString::asprintf(OversizeFormat, static_cast<long>(MaxDimension));
}

QString extensionReason(const QString& path, const QList<qint64>& modes) {
    QStringList accepted;
    for (qint64 mode : modes) {
        for (const QString& extension : extensionsFor(mode)) {
            if (!accepted.contains(extension))
                accepted.append(extension);
        }
    }
    const QString extension = pathExtension(path);
    const QString what = extension.isEmpty()
                             ? QStringLiteral("a name without extension")
                             : QStringLiteral("the extension \"%1\"").arg(extension);
    return QStringLiteral("this conversion does not take %1 (it takes %2)")
        .arg(what, accepted.join(QStringLiteral(", ")));
}

IntakeResult collect(const QStringList& candidates, qint64 mode, const QSet<QString>& existingPaths,
                     qint64 room, bool checkExtension) {
    return collectJobs(candidates, {mode}, existingPaths, room, checkExtension, false);
}

IntakeResult collect(const QStringList& candidates, const QList<qint64>& modes,
                     const QSet<QString>& existingPaths, qint64 room, bool checkExtension) {
    return collectJobs(candidates, modes, existingPaths, room, checkExtension, true);
}

} // namespace FileIntake
