#pragma once
#include "PicModel.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

// Turns chosen or dropped paths into jobs: extension tables per mode, the folder scan, the list
// limit, the pixel limit and duplicates. Nothing here touches a job list, so the window and the
// command line share it, and the window may run it on a worker thread.
namespace FileIntake {

inline constexpr qint64 UploadCount = 10000; // the most jobs a list may hold
inline constexpr int MaxDimension = 8000;    // the widest / tallest image taken, in pixels

inline constexpr char UploadLimitFormat[] = "You can only upload %ld pictures";
inline constexpr char OversizeFormat[] =
    "You have image(s) with height or width dimension over %ldpx. Please resize it before "
    "uploading";

// Exact, case-sensitive extensions the drop check and the folder scan accept for a mode.
QStringList acceptedExtensions(qint64 mode);
// File types the open panel filters by for a mode.
QStringList openPanelFileTypes(qint64 mode);

// True when something exists at path and it is a directory (a link to one counts).
bool isDirectory(const QString& path);
// Size in bytes, 0 when nothing exists at path.
qint64 fileSizeAtPath(const QString& path);

// The text after the last "." of the last path component, "" when there is none.
QString pathExtension(const QString& path);

// The first of modes whose accepted extensions hold path's extension, or nothing. (Any mode
// value can come from the settings, -1 included, so no value can mean "none".)
std::optional<qint64> modeForPath(const QString& path, const QList<qint64>& modes);

// One level of dir, in listing order: its files (hidden ones too, never subfolders) whose
// extension the mode accepts. Empty when dir cannot be read.
QStringList getDirFileWithExtType(qint64 mode, const QString& dir);
// The same scan accepting the extensions of any of modes.
QStringList getDirFileWithExtTypes(const QList<qint64>& modes, const QString& dir);

// paths with each directory replaced, in place, by its scan.
QStringList expandCandidates(const QStringList& paths, qint64 mode);
QStringList expandCandidates(const QStringList& paths, const QList<qint64>& modes);

QString uploadLimitMessage(qint64 limit = UploadCount);
QString oversizeMessage();
// Why a path with an extension the mode does not accept was left out.
QString extensionReason(const QString& path, const QList<qint64>& modes);

struct SkippedPath {
    QString path;
    QString reason;
    bool wrongExtension = false; // left out only because this conversion does not take it
};

struct IntakeResult {
    QList<PicModel> jobs;       // in candidate order
    bool oversize = false;      // some image was over MaxDimension: show oversizeMessage() once
    bool listFull = false;      // the list filled up; the remaining candidates were dropped
    QList<SkippedPath> skipped; // extensions the mode does not take, unusable names, unreadable
                                // folders
    QStringList oversized;      // the images left out for their pixel size
    QStringList dropped;        // the candidates left out because the list was full
};

// The common procedure: takes candidates in order, leaving out extensions the mode does not
// accept (only with checkExtension), paths already listed or seen earlier in candidates,
// images over MaxDimension pixels, and everything after room jobs. Only reads the files.
// room = UploadCount - jobs already listed; existingPaths = their paths.
IntakeResult collect(const QStringList& candidates, qint64 mode, const QSet<QString>& existingPaths,
                     qint64 room, bool checkExtension);

// The same for a run that holds several modes (GIF and JPG/PNG sources into WebP): each job
// gets, in PicModel::mode, the first of modes that accepts its extension. Without the
// extension check an unmatched path takes modes.first().
IntakeResult collect(const QStringList& candidates, const QList<qint64>& modes,
                     const QSet<QString>& existingPaths, qint64 room, bool checkExtension);

// paths with each folder replaced, in place, by its files the modes accept; recursive takes
// the whole tree. What the walks could not take (names that are not valid UTF-8, unreadable
// folders) is kept apart with the reason.
struct Expansion {
    QStringList candidates;
    QHash<QString, QString> subfolders; // candidate -> its folder under the given one, if any
    QList<SkippedPath> skipped;
};
Expansion expand(const QStringList& paths, const QList<qint64>& modes, bool recursive);
// Gives each job of result the output subfolder the expansion found it in, and adds the
// expansion's skips to result's.
void applyExpansion(const Expansion& expansion, IntakeResult* result);

} // namespace FileIntake
