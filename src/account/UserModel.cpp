#include "UserModel.h"

#include "LeadingInteger.h"

#include <QJsonValue>

namespace {

std::optional<QString> textOf(const QJsonValue& value) {
    if (value.isString())
        return value.toString();
    if (value.isDouble()) {
        const double number = value.toDouble();
        // Whole numbers print without a fraction ("2", not "2.0").
        if (number == static_cast<double>(static_cast<qint64>(number)))
            return QString::number(static_cast<qint64>(number));
        return QString::number(number);
    }
    if (value.isBool())
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    return std::nullopt;
}

qint64 countOf(const QJsonValue& value) {
    if (value.isDouble())
        return static_cast<qint64>(value.toDouble());
    if (value.isString())
        return leadingInteger(value.toString());
    if (value.isBool())
        return value.toBool() ? 1 : 0;
    return 0;
}

} // namespace

UserModel UserModel::fromJson(const QJsonObject& data) {
    UserModel user;
    for (const UserModelTextField& field : kUserModelTextFields) {
        const auto it = data.constFind(QLatin1String(field.name));
        if (it != data.constEnd())
            user.*field.member = textOf(*it);
    }
    const auto count = data.constFind(QLatin1String(kUserModelDownloadCount));
    if (count != data.constEnd())
        user.downloadCount = countOf(*count);
    return user;
}
