#pragma once
#include <QString>
#include <QVariant>

// Thin facade over QSettings: every read asks the store, every write is flushed at once,
// so a value written is what the next reader (in this or another process) gets.
namespace Settings {
QVariant value(const char* key);
bool contains(const char* key);
void setValue(const char* key, const QVariant& value);
// Reads a value as the store's text conversions do: 0 for nothing or non-numeric text.
qint64 integerValue(const char* key);
float floatValue(const char* key);
QString stringValue(const char* key);
// A stored boolean; whenMissing when the key is absent.
bool boolValue(const char* key, bool whenMissing);
} // namespace Settings
