#pragma once
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

// File sizes as people type and read them, in powers of 1000.
namespace SizeArgument {

// "2000" bytes, "150k" or "150K" (x 1000), "1.5M" (x 1,000,000), "2G"; a "B" may follow the
// unit and blanks may surround the parts, so "150 kB" as printed reads back. Nothing for
// anything else: garbage, zero, a sign, a fraction of a byte, or more than qint64 holds.
std::optional<qint64> parse(QStringView text);

// The short form for messages: "999 B", "150 kB", "1.5 MB" (nearest tenth, ".0" dropped).
QString shortText(qint64 bytes);

} // namespace SizeArgument
