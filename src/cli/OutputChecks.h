#pragma once
#include <QString>

namespace OutputChecks {
// Creates directory when missing and proves it writable by creating (and removing) a
// hidden file of a fresh name; nothing already there is touched. False with error set,
// naming the folder, otherwise.
bool prepareOutputDirectory(const QString& directory, QString* error);
} // namespace OutputChecks
