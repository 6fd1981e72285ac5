#include "RunReport.h"

QString closingReportText(bool failed, const QString& convertError) {
    if (!failed)
        return {};
    if (convertError.isEmpty())
        return QStringLiteral("The App fails to compress some images. Please send it to ") +
               QLatin1String(SupportEmail) + QStringLiteral(" and I will check it for you.");
    return QStringLiteral("Error! Decoding of an animated WebP file is not supported.");
}

QString RunReport::closingMessage() const {
    return closingReportText(failed, convertError);
}
