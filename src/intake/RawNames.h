#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// File names as the file system holds them: bytes. Qt decodes them as UTF-8, so a name that
// is not valid UTF-8 decodes to a text that no longer names the file.
namespace RawNames {
// True when the bytes survive decoding and encoding again unchanged.
bool isValidName(const QByteArray& raw);
// The bytes as text for people: valid UTF-8 decoded, every other byte as "\xNN".
QString readableName(const QByteArray& raw);

// A program's arguments as text, compared by their bytes: one that does not survive decoding
// comes out marked (a leading U+0000, which no argument can hold) with its readable name, so
// it can never be taken for the file whose name it decodes to.
QStringList arguments(int argc, char* argv[]);
bool isUndecodable(const QString& argument);
// A marked argument's readable name; other arguments as they are.
QString shownName(const QString& argument);
} // namespace RawNames
