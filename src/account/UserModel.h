#pragma once
#include <QJsonObject>
#include <QString>

#include <optional>

// The logged-in user's record as the account service returns it. A string property
// without a value is absent (std::nullopt), which is not the same as an empty string.
struct UserModel {
    std::optional<QString> createDate;
    std::optional<QString> endDate;
    std::optional<QString> memberType;
    std::optional<QString> token;
    std::optional<QString> userName;
    qint64 downloadCount = 0;
    std::optional<QString> registerType;
    std::optional<QString> downloadUrl;
    std::optional<QString> uploadUrl;

    // Keys that equal a property name exactly set that property; other keys are ignored.
    // Numbers given for text become decimal text; numeric text given for the count
    // becomes a number.
    static UserModel fromJson(const QJsonObject& data);

    friend bool operator==(const UserModel&, const UserModel&) = default;
};

// Every text property by its stored name, in declaration order, so that the mapping and
// the session file share one list of names.
struct UserModelTextField {
    const char* name;
    std::optional<QString> UserModel::*member;
};
inline constexpr UserModelTextField kUserModelTextFields[] = {
    {"createDate", &UserModel::createDate},   {"endDate", &UserModel::endDate},
    {"memberType", &UserModel::memberType},   {"token", &UserModel::token},
    {"userName", &UserModel::userName},       {"registerType", &UserModel::registerType},
    {"downloadUrl", &UserModel::downloadUrl}, {"uploadUrl", &UserModel::uploadUrl},
};
inline constexpr char kUserModelDownloadCount[] = "downloadCount";
