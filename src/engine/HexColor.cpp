#include "HexColor.h"

#include <limits>

QColor colorWithHexCode(const QString& hexCode) {
    quint64 value = 0;
    bool overflow = false;
    qsizetype i = 0;
    while (i < hexCode.size() && hexCode[i].isSpace())
        ++i;
    if (i + 1 < hexCode.size() && hexCode[i] == u'0' &&
        (hexCode[i + 1] == u'x' || hexCode[i + 1] == u'X'))
        i += 2;
    for (; i < hexCode.size(); ++i) {
        const char16_t c = hexCode[i].unicode();
        const int digit = (c >= u'0' && c <= u'9')   ? c - u'0'
                          : (c >= u'a' && c <= u'f') ? c - u'a' + 10
                          : (c >= u'A' && c <= u'F') ? c - u'A' + 10
                                                     : -1;
        if (digit < 0)
            break;
        value = (value << 4) | static_cast<quint64>(digit);
        if (value > std::numeric_limits<quint32>::max())
            overflow = true;
    }
    const quint32 rgb =
        overflow ? std::numeric_limits<quint32>::max() : static_cast<quint32>(value);
    QColor color;
    color.setRgbF(((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f,
                  (rgb & 0xFF) / 255.0f, 1.0f);
    return color;
}
