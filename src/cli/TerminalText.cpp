#include "TerminalText.h"

#include <algorithm>

QString terminalSafe(const QString& text) {
    const auto isControl = [](char16_t c) { return c < 0x20 || (c >= 0x7f && c <= 0x9f); };
    if (std::none_of(text.cbegin(), text.cend(), [&](QChar c) { return isControl(c.unicode()); }))
        return text;
    QString safe;
    safe.reserve(text.size() + 8);
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (!isControl(code)) {
            safe += c;
            continue;
        }
        switch (code) {
        case 0x1b:
            safe += QLatin1String("\\e");
            break;
        case u'\t':
            safe += QLatin1String("\\t");
            break;
        case u'\n':
            safe += QLatin1String("\\n");
            break;
        case u'\r':
            safe += QLatin1String("\\r");
            break;
        default:
            safe += QStringLiteral("\\x%1").arg(static_cast<int>(code), 2, 16, QLatin1Char('0'));
        }
    }
    return safe;
}
