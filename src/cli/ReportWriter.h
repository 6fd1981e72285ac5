#pragma once
#include "RunSummary.h"

#include <QByteArray>
#include <QString>

// The closing report in its two shapes.
namespace ReportWriter {
// Counts, bytes in and out with the saving, wall time, then each failure with its reason.
QString summaryText(const RunSummary& summary);
// One JSON document: every input with its fate, and the totals.
QByteArray jsonDocument(const RunSummary& summary);
} // namespace ReportWriter
