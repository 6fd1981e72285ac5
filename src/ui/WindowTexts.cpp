#include "WindowTexts.h"

#include "FileIntake.h"
#include "RunReport.h"

ClosingReport WindowTexts::closingReport(const RunReport& report) {
    ClosingReport closing = ::closingReport(report);
    if (closing.text.isEmpty())
        return closing;
    const qsizetype count = report.failedJobs.size();
    closing.title = count == 1 ? tr("1 image was not converted")
                               : tr("%1 images were not converted").arg(count);
    if (closing.text == ClosingTexts::silentTool()) {
        closing.text = tr("The App fails to compress some images. Please send it to %1 and I will "
                          "check it for you.")
                           .arg(QLatin1String(SupportEmail));
    } else if (closing.text == QLatin1String(ClosingTexts::AnimatedWebp)) {
        closing.text = tr("Error! Decoding of an animated WebP file is not supported.");
    } else if (const qsizetype more = count - ClosingTexts::ListedFailures; more > 0) {
        QStringList lines = closing.text.split(u'\n');
        lines.last() = tr("and %1 more").arg(more);
        closing.text = lines.join(u'\n');
    }
    return closing;
}

QString WindowTexts::uploadLimitMessage(qint64 limit) {
    return tr("You can only upload %1 pictures").arg(limit);
}

QString WindowTexts::oversizeMessage() {
    return tr("You have image(s) with height or width dimension over %1px. Please resize it "
              "before uploading")
        .arg(FileIntake::MaxDimension);
}
