#include "CompareText.h"

#include "SizeSummary.h"

#include <cmath>

namespace {
QString pixelsText(QSize pixels, QLocale locale) {
    // "4096×4096", never "4.096×4.096".
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return QStringLiteral("%1×%2").arg(locale.toString(pixels.width()),
                                       locale.toString(pixels.height()));
}
} // namespace

QString CompareText::barText(const FileFacts& source, const FileFacts& result,
                             const std::optional<Measures>& measures, const QLocale& locale) {
    const QString change =
        source.bytes > 0 ? SizeSummary::savingPercentText(source.bytes, result.bytes) : QString();
    QString measured = tr("measuring…");
    if (measures && (std::isnan(measures->ssim) || std::isnan(measures->psnr))) {
        measured = tr("not measurable");
    } else if (measures) {
        const QString psnr = std::isinf(measures->psnr) ? QStringLiteral("∞")
                                                        : locale.toString(measures->psnr, 'f', 1);
        measured = tr("SSIM %1 · PSNR %2 dB").arg(locale.toString(measures->ssim, 'f', 3), psnr);
    }
    return tr("Source %1 · %2 — Result %3 · %4, %5 · %6")
        .arg(SizeSummary::humanBytes(source.bytes), pixelsText(source.pixels, locale),
             SizeSummary::humanBytes(result.bytes), pixelsText(result.pixels, locale), change,
             measured);
}
