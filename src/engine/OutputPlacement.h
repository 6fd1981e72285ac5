#pragma once
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

// The reason given when no free name fits the file system's name limit.
inline constexpr char NameTooLong[] = "the file name is too long";
// A file name fits when its encoded form is at most 255 bytes (not characters).
bool nameFits(const QString& fileName);

// A directory entry of that exact name, also a dangling link, takes the name.
bool entryExists(const QString& path);

// Unique output path for fileName in directory homePath, starting the numbered suffix at
// count: photo.webp, photo(1).webp, photo(2).webp ...; a taken name holding both "(" and ")"
// is cut at its first "(" before the counter is added. isTaken defaults to "an entry of that
// exact name exists in homePath". "" when the next candidate name would not fit.
QString returnSaveImageName(const QString& fileName, const QString& homePath, qint64 count,
                            const IsTaken& isTaken = {});

// The file's creation (birth) time; nothing, with the log line, when it cannot be read.
std::optional<QDateTime> fileCreateDate(const QString& path);

// Sets only the modification time of path; failures are ignored.
void applyDateStep(const std::optional<QDateTime>& creationDate, const QString& outputPath);

// Removes a temporary file; errors are ignored.
void removeTemporaryFile(const QString& path);

// Moves the finished temporary file `source` into `directory` under the name `wantedPath`
// names, never replacing an existing entry: when the name is taken (also when it appears
// at the last moment), the next free name is used. No partly written file is ever visible
// under a final name, and a copy across file systems gets the mode the umask gives a new
// file. Returns the final path (source is gone then), or nothing with `error` set (ending
// in NameTooLong when no name fits).
std::optional<QString> publishNoReplace(const QString& source, const QString& wantedPath,
                                        const IsTaken& alsoTaken, QString* error);

// Tests only: stands in for renameat2(..., RENAME_NOREPLACE) so the fallbacks for other
// file systems run anywhere; and refuses unnamed temporary files. nullptr/false = real.
using RenameNoReplace = int (*)(const char* from, const char* to);
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
