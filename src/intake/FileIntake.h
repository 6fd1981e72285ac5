#pragma once
#include "Job.h"

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

inline constexpr qint64 ListLimit = 10000; // the most jobs a list may hold

// "You can only upload 10000 pictures", in the user's language where one is installed.
QString listLimitMessage(qint64 limit = ListLimit);

// True when something exists at path and it is a directory (a link to one counts).
bool isDirectory(const QString& path);
// Size in bytes, 0 when nothing exists at path.
qint64 fileSize(const QString& path);

// The text after the last "." of the last path component, "" when there is none.
QString pathExtension(const QString& path);

// The first of modes that takes path's extension, or nothing.
std::optional<ConvertMode> modeForPath(const QString& path, const QList<ConvertMode>& modes);

// One level of dir, in listing order: its files (hidden ones too, never subfolders) whose
// extension one of the modes takes. Empty when dir cannot be read.
QStringList scanFolder(const QList<ConvertMode>& modes, const QString& dir);

struct SkippedPath {
    QString path;
    Reason reason = Reason::None;
    QString detail; // the reason in words where it needs more than the reason's own
};

struct IntakeResult {
    QList<Job> jobs;            // in candidate order
    bool oversize = false;      // some image was over MaxImageSide: tell the user once
    bool listFull = false;      // the list filled up; the remaining candidates were dropped
    QList<SkippedPath> skipped; // extensions the modes do not take, unusable names, unreadable
                                // folders
    QStringList oversized;      // the images left out for their pixel size
    QStringList dropped;        // the candidates left out because the list was full
};

// Takes candidates in order, leaving out extensions no mode takes (only with checkExtension),
// paths already listed or seen earlier in candidates, images over MaxImageSide pixels, and
// everything after room jobs. Only reads the files. room = ListLimit - jobs already listed;
// existingPaths = their paths. With several modes (GIF and JPG/PNG sources into WebP) each job
// gets the first mode that takes its extension; with one, jobs follow the run's mode.
IntakeResult collect(const QStringList& candidates, const QList<ConvertMode>& modes,
                     const QSet<QString>& existingPaths, qint64 room, bool checkExtension);

// paths with each folder replaced, in place, by its files the modes take; recursive takes the
// whole tree. What the walks could not take (names that are not valid UTF-8, unreadable
// folders) is kept apart with the reason.
struct Expansion {
    QStringList candidates;
    QHash<QString, QString> subfolders; // candidate -> its folder under the given one, if any
    QList<SkippedPath> skipped;
};
Expansion expand(const QStringList& paths, const QList<ConvertMode>& modes, bool recursive);
// Gives each job of result the output subfolder the expansion found it in, and adds the
// expansion's skips to result's.
void applyExpansion(const Expansion& expansion, IntakeResult* result);

} // namespace FileIntake
