#include "CompareText.h"

#include <cmath>

QString CompareText::sizeText(qint64 bytes, const QLocale& locale) {
    if (bytes < 1000)
        return tr("%1 B").arg(locale.toString(bytes));
    const QString units[] = {tr("kB"), tr("MB"), tr("GB"), tr("TB")};
    double value = bytes / 1000.0;
    int unit = 0;
    // 999.6 kB would round to "1e+03 kB": it is shown as 1 MB.
    while (value >= 999.5 && unit + 1 < int(std::size(units))) {
        value /= 1000.0;
        ++unit;
    }
    return tr("%1 %2").arg(locale.toString(value, 'g', 3), units[unit]);
}

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
    QString change;
    if (source.bytes > 0) {
        const long percent = std::lround((result.bytes - source.bytes) * 100.0 / source.bytes);
        // A real minus sign, as typeset text has it.
        const QString sign = percent < 0 ? QStringLiteral("\u2212") : QStringLiteral("+");
        change = tr("%1%2 %").arg(percent == 0 ? QString() : sign,
                                  locale.toString(qint64(std::labs(percent))));
    }
    QString measured = tr("measuring…");
    if (measures) {
        const QString psnr = std::isinf(measures->psnr) ? QStringLiteral("∞")
                                                        : locale.toString(measures->psnr, 'f', 1);
        measured = tr("SSIM %1 · PSNR %2 dB").arg(locale.toString(measures->ssim, 'f', 3), psnr);
    }
    return tr("Source %1 · %2 — Result %3 · %4, %5 · %6")
        .arg(sizeText(source.bytes, locale), pixelsText(source.pixels, locale),
             sizeText(result.bytes, locale), pixelsText(result.pixels, locale), change, measured);
}
