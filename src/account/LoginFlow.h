#pragma once
#include "ApiError.h"

#include <QJsonObject>
#include <QString>

#include <optional>

// What a login reply means for the user, independent of any window.
namespace LoginFlow {

inline constexpr int kAlertSuccess = 0;
inline constexpr int kAlertProblem = 1;

struct Outcome {
    bool success = false;
    QString alertMessage;
    int alertType = kAlertProblem;
};

// The first failing input check, in the order the user is told about them.
std::optional<QString> checkInput(const QString& email, const QString& password, bool agreed);

bool isSuccessReply(const QJsonObject& reply);

// On success keeps the e-mail address, hands the password to the secret store and saves
// the returned user record; the texts are those in the fields when the reply arrives.
Outcome complete(const QString& email, const QString& password,
                 const std::optional<QJsonObject>& reply, const std::optional<ApiError>& error);

} // namespace LoginFlow
