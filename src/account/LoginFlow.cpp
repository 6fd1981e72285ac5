#include "LoginFlow.h"

#include "PasswordVault.h"
#include "Preferences.h"
#include "UserUtil.h"

#include <QCoreApplication>

namespace LoginFlow {

std::optional<QString> checkInput(const QString& email, const QString& password, bool agreed) {
    if (email.isEmpty())
        return QCoreApplication::translate("LoginFlow", "The email address is empty");
    if (password.isEmpty())
        return QCoreApplication::translate("LoginFlow", "The password address is empty");
    if (!agreed)
        return QCoreApplication::translate(
            "LoginFlow", "Please read and confirm our Privacy Policy before login your account.");
    return std::nullopt;
}

bool isSuccessReply(const QJsonObject& reply) {
    const QJsonValue status = reply.value(QLatin1String("status"));
    return status.toString() == QLatin1String("200") ||
           (status.isDouble() && status.toDouble() == 200);
}

Outcome complete(const QString& email, const QString& password,
                 const std::optional<QJsonObject>& reply, const std::optional<ApiError>& error) {
    if (!reply) {
        if (error)
            qInfo().noquote() << "login failed:" << error->message;
        if (error && error->isExplained())
            return {false, error->message, kAlertProblem};
        return {false, QCoreApplication::translate("LoginFlow", "Faild"), kAlertProblem};
    }
    const QString message = reply->value(QLatin1String("message")).toString();
    if (!isSuccessReply(*reply))
        return {false,
                message.isEmpty() ? QCoreApplication::translate("LoginFlow", "Faild") : message,
                kAlertProblem};

    // Saying "logged in" while the session could not be kept would be a lie.
    if (!UserUtil::savingUserInformation(
            UserModel::fromJson(reply->value(QLatin1String("data")).toObject())))
        return {false,
                QCoreApplication::translate("LoginFlow", "Your login could not be saved in \"%1\".")
                    .arg(UserUtil::sessionFilePath()),
                kAlertProblem};
    Preferences::instance().setUsername(email);
    PasswordVault::keep(email, password);
    return {true,
            message.isEmpty() ? QCoreApplication::translate("LoginFlow", "Login succeeded.")
                              : message,
            kAlertSuccess};
}

} // namespace LoginFlow
