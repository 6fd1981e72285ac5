#pragma once
#include "ApiError.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <variant>

// The reply content types the service may label its JSON with.
bool isAcceptedReplyContentType(const QString& contentTypeHeader);
// A reply body becomes one JSON object, or the reason it cannot be used.
std::variant<QJsonObject, ApiError> parseReplyBody(const QString& contentTypeHeader,
                                                   const QByteArray& body);
// "status" read as an integer: the text "7001" and the number 7001 both give 7001;
// a missing or non-numeric status gives 0.
qint64 replyStatusCode(const QJsonObject& reply);
