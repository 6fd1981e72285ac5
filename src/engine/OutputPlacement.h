#pragma once
#include "Vocabulary.h"

#include <QDateTime>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

// Where a result goes and how it gets there without ever replacing a file.
namespace OutputPlacement {

using IsTaken = std::function<bool(const QString& fileName)>;

// The last "." of a file name separates the extension: a.b.webp -> a.b / webp.
struct SplitName {
    QString stem;
    QString extension;
};
SplitName splitName(const QString& fileName);
// The last path component without its extension.
QString baseName(const QString& path);

// A file name fits when its encoded form is at most 255 bytes (not characters).
bool nameFits(const QString& fileName);

// A directory entry of that exact name, also a dangling link, takes the name.
bool entryExists(const QString& path);

// Unique path for fileName in folder, starting the numbered suffix at count: photo.webp,
// photo(1).webp, photo(2).webp ...; a taken name holding both "(" and ")" is cut at its first
// "(" before the counter is added. isTaken defaults to "an entry of that exact name exists in
// folder". "" when the next candidate name would not fit.
QString uniqueName(const QString& fileName, const QString& folder, qint64 count,
                   const IsTaken& isTaken = {});

// The result's file name before any "(n)": the source's base name with the mode's extension.
QString resultFileName(ConvertMode mode, const QString& source);
// The folder a result goes to: the output folder, or the subfolder that mirrors its source's.
QString resultFolder(const QString& outputFolder, const QString& subfolder);
// Where source's result goes before any "(n)" is added.
QString plainResultPath(const QString& outputFolder, const QString& subfolder, ConvertMode mode,
                        const QString& source);
// True when source's result under its plain name is there already (a dangling link counts):
// the test behind "skip existing results".
bool resultExists(const QString& outputFolder, const QString& subfolder, ConvertMode mode,
                  const QString& source);

// The file's creation (birth) time; nothing, with the log line, when it cannot be read.
std::optional<QDateTime> fileCreateDate(const QString& path);

// Removes a temporary file; errors are ignored.
void removeTemporaryFile(const QString& path);

struct Published {
    QString path;                 // where the result now is; "" when it could not be placed
    Reason reason = Reason::None; // why not: NameTooLong, LinkInOutputTree or WriteFailed
    QString message;              // that reason in words, naming the path
    bool ok() const { return !path.isEmpty(); }
};

// Moves the finished work file `source` into outputFolder/subfolder under fileName, never
// replacing an existing entry: when the name is taken (also when it appears at the last
// moment), the next free name is used. The mirrored subfolders are made as needed and entered
// by descriptor without following links, so a link planted in the output tree fails the job
// instead of sending the result elsewhere; the output folder itself is never made again once
// it has gone. No partly written file is ever visible under a final name, and a copy across
// file systems gets the mode the umask gives a new file. With a modification time the result
// has it from the moment it appears: no path is touched after publishing. The source is gone
// once placed.
Published publishNoReplace(const QString& source, const QString& outputFolder,
                           const QString& subfolder, const QString& fileName,
                           const IsTaken& alsoTaken,
                           const std::optional<QDateTime>& modificationTime = std::nullopt);

// Tests only: stands in for renameat2(..., RENAME_NOREPLACE) into a folder descriptor, so the
// fallbacks for other file systems run anywhere; and refuses unnamed temporary files.
// nullptr/false = real.
using RenameNoReplace = int (*)(const char* from, int toFolder, const char* toName);
void setFileSystemFaultsForTests(RenameNoReplace rename, bool refuseUnnamedTemp);

} // namespace OutputPlacement

// Names promised to the jobs of one run, so two jobs never aim at the same output.
class OutputReservations {
public:
    // Chooses and reserves a free output path for fileName in directory; "" when no free
    // name fits.
    QString reserve(const QString& fileName, const QString& directory);
    void release(const QString& path) { reserved_.remove(path); }
    bool isReserved(const QString& path) const { return reserved_.contains(path); }
    const QSet<QString>& all() const { return reserved_; }

private:
    QSet<QString> reserved_;
};
