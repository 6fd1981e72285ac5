#include "RawNames.h"

#include <QFile>

namespace RawNames {

namespace {

// Length of the well-formed UTF-8 sequence at i (no overlong forms, no surrogates), 0 when
// the byte there starts none.
int sequenceLength(const QByteArray& raw, qsizetype i) {
    const auto byte = [&](qsizetype k) { return static_cast<unsigned char>(raw.at(k)); };
    const unsigned char lead = byte(i);
    if (lead < 0x80)
        return 1;
    int length = 0;
    char32_t code = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > raw.size())
        return 0;
    for (int k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    static constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

QStringList arguments(int argc, char* argv[]) {
    QStringList decoded;
    for (int i = 0; i < argc; ++i) {
        const QByteArray raw(argv[i]);
        decoded.append(isValidName(raw) ? QFile::decodeName(raw) : QChar(0) + readableName(raw));
    }
    return decoded;
}

bool isUndecodable(const QString& argument) {
    return argument.startsWith(QChar(0));
}

QString shownName(const QString& argument) {
    return isUndecodable(argument) ? argument.mid(1) : argument;
}

bool isValidName(const QByteArray& raw) {
    return QFile::encodeName(QFile::decodeName(raw)) == raw;
}

QString readableName(const QByteArray& raw) {
    QString text;
    for (qsizetype i = 0; i < raw.size();) {
        const int length = sequenceLength(raw, i);
        if (length == 0) {
            text += QStringLiteral("\\x%1").arg(static_cast<unsigned char>(raw.at(i)), 2, 16,
                                                QLatin1Char('0'));
            ++i;
            continue;
        }
        text += QString::fromUtf8(raw.constData() + i, length);
        i += length;
    }
    return text;
}

} // namespace RawNames
