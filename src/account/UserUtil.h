#pragma once
#include "UserModel.h"

#include <QString>

#include <optional>

// The session file Documents/user.plist in the application's private home: a binary
// property list whose root dictionary holds the record's properties by name. The file is
// the only state; every call reads it afresh.
namespace UserUtil {
// Writes atomically, so a failed write leaves the earlier file as it was.
bool savingUserInformation(const UserModel& user);
// Nothing when the file is missing, damaged or holds no record.
std::optional<UserModel> storedUser();
void removeUserInfo();
bool hasLogin();

QString sessionFilePath();
// The codec, separate from the file, for tests and tools.
QByteArray encodeUserModel(const UserModel& user);
std::optional<UserModel> decodeUserModel(const QByteArray& bytes);
} // namespace UserUtil
