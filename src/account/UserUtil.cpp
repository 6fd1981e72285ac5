#include "UserUtil.h"

#include "AppPaths.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <plist/plist.h>

#include <cstdlib>
#include <limits>
#include <memory>

namespace {

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

struct MallocDeleter {
    void operator()(char* text) const { std::free(text); }
};
using MallocText = std::unique_ptr<char, MallocDeleter>;

std::optional<QString> stringItem(plist_t dict, const char* key) {
    plist_t item = plist_dict_get_item(dict, key);
    if (!item || plist_get_node_type(item) != PLIST_STRING)
        return std::nullopt;
    char* raw = nullptr;
    plist_get_string_val(item, &raw);
    const MallocText text(raw);
    return text ? QString::fromUtf8(text.get()) : QString();
}

qint64 integerItem(plist_t dict, const char* key) {
    plist_t item = plist_dict_get_item(dict, key);
    if (!item || plist_get_node_type(item) != PLIST_UINT)
        return 0;
    uint64_t value = 0;
    plist_get_uint_val(item, &value);
    // The binary format keeps integers as signed 64-bit values.
    return static_cast<qint64>(value);
}

} // namespace

namespace UserUtil {

QString sessionFilePath() {
    const QString documents = AppPaths::documentsDirectory();
    if (documents.isEmpty())
        return {};
    return QDir(documents).filePath(QStringLiteral("user.plist"));
}

QByteArray encodeUserModel(const UserModel& user) {
    const PlistPtr dict(plist_new_dict());
    for (const UserModelTextField& field : kUserModelTextFields) {
        if (const auto& value = user.*field.member)
            plist_dict_set_item(dict.get(), field.name,
                                plist_new_string(value->toUtf8().constData()));
    }
    plist_dict_set_item(dict.get(), kUserModelDownloadCount,
                        plist_new_uint(static_cast<uint64_t>(user.downloadCount)));
    char* raw = nullptr;
    uint32_t length = 0;
    plist_to_bin(dict.get(), &raw, &length);
    const MallocText bytes(raw);
    return bytes ? QByteArray(bytes.get(), static_cast<qsizetype>(length)) : QByteArray();
}

std::optional<UserModel> decodeUserModel(const QByteArray& bytes) {
    if (bytes.isEmpty() || bytes.size() > std::numeric_limits<uint32_t>::max() ||
        !plist_is_binary(bytes.constData(), static_cast<uint32_t>(bytes.size())))
        return std::nullopt;
    plist_t raw = nullptr;
    plist_from_bin(bytes.constData(), static_cast<uint32_t>(bytes.size()), &raw);
    const PlistPtr root(raw);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT)
        return std::nullopt;
    UserModel user;
    for (const UserModelTextField& field : kUserModelTextFields)
        user.*field.member = stringItem(root.get(), field.name);
    user.downloadCount = integerItem(root.get(), kUserModelDownloadCount);
    return user;
}

bool savingUserInformation(const UserModel& user) {
    const QString path = sessionFilePath();
    const QByteArray bytes = encodeUserModel(user);
    if (path.isEmpty() || bytes.isEmpty())
        return false;
    QSaveFile file(path);
    // It holds the bearer token: readable by this user only, from the first byte on.
    return file.open(QIODevice::WriteOnly) &&
           file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
           file.write(bytes) == bytes.size() && file.commit();
}

std::optional<UserModel> storedUser() {
    const QString path = sessionFilePath();
    if (path.isEmpty())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return decodeUserModel(file.readAll());
}

void removeUserInfo() {
    const QString path = sessionFilePath();
    if (!path.isEmpty())
        QFile::remove(path);
}

bool hasLogin() {
    return storedUser().has_value();
}

} // namespace UserUtil
