#include "SizeSummary.h"

#include <QLocale>

#include <cmath>

namespace SizeSummary {

QString humanBytes(qint64 bytes) {
    const QLocale locale;
    if (bytes < 1000)
        return QStringLiteral("%1 B").arg(locale.toString(bytes));
    static const char* const units[] = {"kB", "MB", "GB", "TB"};
    double value = static_cast<double>(bytes);
    int unit = -1;
    // 999,960 bytes read "1.0 MB", not "1000.0 kB".
    while (value >= 999.95 && unit < 3) {
        value /= 1000;
        ++unit;
    }
    return QStringLiteral("%1 %2").arg(locale.toString(value, 'f', 1), QLatin1String(units[unit]));
}

double savingPercent(qint64 inBytes, qint64 outBytes) {
    if (inBytes <= 0)
        return 0;
    return 100.0 * static_cast<double>(inBytes - outBytes) / static_cast<double>(inBytes);
}

QString savingPercentText(qint64 inBytes, qint64 outBytes) {
    // A saving is a smaller file: shown with a minus sign, growth with a plus.
    const qint64 rounded = std::llround(savingPercent(inBytes, outBytes));
    if (rounded == 0)
        return QStringLiteral("0 %");
    return QStringLiteral("%1%2 %")
        .arg(rounded > 0 ? QChar(0x2212) : QChar(u'+'))
        .arg(std::llabs(rounded));
}

QString resultText(qint64 inBytes, qint64 outBytes) {
    return QStringLiteral("→ %1, %2")
        .arg(humanBytes(outBytes), savingPercentText(inBytes, outBytes));
}

QString totalsText(qint64 inBytes, qint64 outBytes) {
    return QStringLiteral("%1 → %2, %3")
        .arg(humanBytes(inBytes), humanBytes(outBytes), savingPercentText(inBytes, outBytes));
}

} // namespace SizeSummary
