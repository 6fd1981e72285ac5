#pragma once
#include <QString>
#include <QtGlobal>

// Sizes and savings as every front end reports them (rows, footer, alerts, the command line's
// text), in one unit system and in the user's locale: "2.6 MB", or "2,6 MB" in German.
namespace SizeSummary {
// "1.5 MB" style size for people: powers of 1000, one decimal; "20 B" below 1000 bytes.
QString humanBytes(qint64 bytes);
// Per cent saved going from inBytes to outBytes (negative when the result is larger);
// 0 without input.
double savingPercent(qint64 inBytes, qint64 outBytes);
// The saving rounded to whole per cent, signed: "−54 %", "+12 %", "0 %".
QString savingPercentText(qint64 inBytes, qint64 outBytes);
// A converted row: "→ 1.2 MB, −54 %".
QString resultText(qint64 inBytes, qint64 outBytes);
// A run's totals: "11.9 MB → 3.1 MB, −74 %".
QString totalsText(qint64 inBytes, qint64 outBytes);
} // namespace SizeSummary
