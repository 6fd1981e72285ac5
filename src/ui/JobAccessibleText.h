#pragma once
#include <QString>

struct Job;

// What a screen reader says for a row: its name ("photo.png, 2.3 MB, converted" or
// "photo.png, 2.3 MB, failed: <reason>", or "not kept: ..." for a result that would not have
// saved enough) and its description (where the file is and, once converted, where its result
// went).
namespace JobAccessibleText {
QString name(const Job& job);
QString description(const Job& job);
// The last run kept the source because its result would not have saved enough.
bool keptSource(const Job& job);
// Why, with the numbers: "its result (2.2 MB) would save only 3 %".
QString keptSourceReason(const Job& job);
} // namespace JobAccessibleText
