#include "WindowTexts.h"

#include "FileIntake.h"
#include "RunReport.h"

QString WindowTexts::closingMessage(const RunReport& report) {
    if (report.closingMessage().isEmpty())
        return {};
    if (report.convertError.isEmpty())
        return tr("The App fails to compress some images. Please send it to %1 and I will check "
                  "it for you.")
            .arg(QLatin1String(SupportEmail));
    return tr("Error! Decoding of an animated WebP file is not supported.");
}

QString WindowTexts::uploadLimitMessage(qint64 limit) {
    return tr("You can only upload %1 pictures").arg(limit);
}

QString WindowTexts::oversizeMessage() {
    return tr("You have image(s) with height or width dimension over %1px. Please resize it "
              "before uploading")
        .arg(FileIntake::MaxDimension);
}
