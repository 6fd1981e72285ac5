#pragma once
#include <QColor>
#include <QString>

// Six hexadecimal digits (rrggbb, optional 0x) to an opaque colour; anything else scans
// as far as it can, so every input yields a colour (black when no digit is found).
QColor colorWithHexCode(const QString& hexCode);
