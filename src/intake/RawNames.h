#pragma once
#include <QByteArray>
#include <QString>

// File names as the file system holds them: bytes. Qt decodes them as UTF-8, so a name that
// is not valid UTF-8 decodes to a text that no longer names the file.
namespace RawNames {
// True when the bytes survive decoding and encoding again unchanged.
bool isValidName(const QByteArray& raw);
// The bytes as text for people: valid UTF-8 decoded, every other byte as "\xNN".
QString readableName(const QByteArray& raw);
} // namespace RawNames
