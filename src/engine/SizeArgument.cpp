#include "SizeArgument.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace SizeArgument {
namespace {
constexpr qint64 Max = std::numeric_limits<qint64>::max();

int unitPower(QChar unit) {
    switch (unit.toLower().unicode()) {
    case u'k':
        return 1;
    case u'm':
        return 2;
    case u'g':
        return 3;
    default:
        return 0;
    }
}
} // namespace

std::optional<qint64> parse(QStringView text) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*([0-9]+)(?:\.([0-9]+))?\s*(?:([kKmMgG])[bB]?|[bB])?\s*$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int power = match.hasCaptured(3) ? unitPower(match.capturedView(3).front()) : 0;
    // Exact decimal arithmetic: the digits as one integer, then the unit's factor less the
    // fraction's, so "1.5M" is 15 x 100,000 and "1.0005k" is not a whole byte.
    const QStringView whole = match.capturedView(1);
    QStringView fraction = match.capturedView(2);
    while (!fraction.isEmpty() && fraction.back() == u'0')
        fraction.chop(1);
    int exponent = 3 * power - static_cast<int>(fraction.size());
    if (exponent < 0)
        return std::nullopt;
    qint64 value = 0;
    const QString digits = whole.toString() + fraction.toString();
    for (QChar digit : digits) {
        if (value > (Max - digit.digitValue()) / 10)
            return std::nullopt;
        value = value * 10 + digit.digitValue();
    }
    for (; exponent > 0; --exponent) {
        if (value > Max / 10)
            return std::nullopt;
        value *= 10;
    }
    if (value <= 0)
        return std::nullopt;
    return value;
}

QString shortText(qint64 bytes) {
    static const char* const units[] = {"B", "kB", "MB", "GB", "TB", "PB", "EB"};
    if (bytes < 1000)
        return QStringLiteral("%1 B").arg(bytes);
    int unit = 0;
    double scale = 1;
    // The unit is chosen after rounding, so 999,960 bytes read "1 MB" rather than "1000 kB".
    while (std::round(static_cast<double>(bytes) / scale * 10) / 10 >= 1000 && unit < 6) {
        scale *= 1000;
        ++unit;
    }
    QString number = QString::number(static_cast<double>(bytes) / scale, 'f', 1);
    if (number.endsWith(QLatin1String(".0")))
        number.chop(2);
    return QStringLiteral("%1 %2").arg(number, QLatin1String(units[unit]));
}

} // namespace SizeArgument
