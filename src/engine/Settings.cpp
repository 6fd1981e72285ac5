#include "Settings.h"

#include <QSettings>

namespace Settings {

QVariant value(const char* key) {
    return QSettings().value(QLatin1String(key));
}

bool contains(const char* key) {
    return QSettings().contains(QLatin1String(key));
}

void setValue(const char* key, const QVariant& value) {
    QSettings settings;
    settings.setValue(QLatin1String(key), value);
    settings.sync();
}

namespace {
// Leading-number parse like the store's integerValue/floatValue: "85abc" -> 85, "x" -> 0.
QString leadingNumber(const QString& text, bool allowFraction) {
    const QString t = text.trimmed();
    int i = 0;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+'))
        ++i;
    bool seenDot = false;
    while (i < t.size() && (t[i].isDigit() || (allowFraction && !seenDot && t[i] == u'.'))) {
        seenDot = seenDot || t[i] == u'.';
        ++i;
    }
    return t.left(i);
}
} // namespace

qint64 integerValue(const char* key) {
    const QVariant v = value(key);
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)
        return static_cast<qint64>(v.toDouble());
    return leadingNumber(v.toString(), false).toLongLong();
}

float floatValue(const char* key) {
    return leadingNumber(value(key).toString(), true).toFloat();
}

QString stringValue(const char* key) {
    return value(key).toString();
}

bool boolValue(const char* key, bool whenMissing) {
    const QVariant v = value(key);
    return v.isValid() ? v.toBool() : whenMissing;
}

} // namespace Settings
