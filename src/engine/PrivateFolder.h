#pragma once
#include <QString>

// Folders that hold what only this user may read or write: the private home with its
// session file and work files, the socket that receives file paths from later launches.
namespace PrivateFolder {

// True when path is a real folder (not a link) owned by this user that no other user can
// write to; otherwise false with why set.
bool isPrivate(const QString& path, QString* why);

// Creates path with mode 0700 when it is missing (its parents as usual), then checks it as
// isPrivate does. A folder someone else made in advance is never trusted.
bool makeOrCheck(const QString& path, QString* why);

// As makeOrCheck, but a folder of this user's that others can enter or write to (an older
// version or a loose umask left it so) is first closed to 0700. A link or another user's
// folder is still refused.
bool makeOrRepair(const QString& path, QString* why);

// Makes path and everything below it private, whatever modes an older version left:
// folders 0700, files 0600. Links are not followed.
void restrictTree(const QString& path);

} // namespace PrivateFolder
