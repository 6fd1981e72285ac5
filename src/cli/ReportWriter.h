#pragma once
#include "RunSummary.h"

#include <QByteArray>
#include <QString>

// The closing report in its two shapes.
namespace ReportWriter {
// Counts, bytes in and out with the saving, wall time, then each failure with its reason;
// names and reasons with their control characters escaped.
QString summaryText(const RunSummary& summary);
// One input's line while aiming or measuring: what its result reached (size, quality,
// SSIM, PSNR), or why it was not kept.
QString resultLine(const InputOutcome& input);
// One JSON document: every input with its fate, and the totals.
QByteArray jsonDocument(const RunSummary& summary);
// One compact JSON object and a line feed: an input's fate, for --json-lines.
QByteArray jsonLine(const InputOutcome& input);
// The closing line of --json-lines: {"totals": {...}, "cancelled": ...}.
QByteArray jsonTotalsLine(const RunSummary& summary);
} // namespace ReportWriter
