#include "ReplyValidation.h"

#include "LeadingInteger.h"

#include <QJsonDocument>
#include <QJsonParseError>

bool isAcceptedReplyContentType(const QString& contentTypeHeader) {
    static const QStringList accepted = {
        QStringLiteral("application/json"), QStringLiteral("text/plain"),
        QStringLiteral("text/html"),        QStringLiteral("text/javascript"),
        QStringLiteral("text/json"),
    };
    const QString mediaType = contentTypeHeader.section(u';', 0, 0).trimmed().toLower();
    return accepted.contains(mediaType);
}

std::variant<QJsonObject, ApiError> parseReplyBody(const QString& contentTypeHeader,
                                                   const QByteArray& body) {
    if (!isAcceptedReplyContentType(contentTypeHeader))
        return ApiError{ApiError::Kind::ContentType,
                        QStringLiteral("The service answered with the unexpected content type "
                                       "\"%1\".")
                            .arg(contentTypeHeader),
                        0};
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return ApiError{ApiError::Kind::Body,
                        QStringLiteral("The service's answer is not a JSON object."), 0};
    return document.object();
}

qint64 replyStatusCode(const QJsonObject& reply) {
    const QJsonValue status = reply.value(QLatin1String("status"));
    if (status.isDouble())
        return static_cast<qint64>(status.toDouble());
    if (status.isString())
        return leadingInteger(status.toString());
    return 0;
}
