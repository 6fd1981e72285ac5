#pragma once
#include <QString>

// Reads text as a leading decimal integer the way the service's clients always have:
// leading white space skipped, optional sign, digits up to the first other character;
// 0 when there is no digit. Saturates instead of overflowing.
qint64 leadingInteger(const QString& text);
