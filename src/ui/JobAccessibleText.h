#pragma once
#include <QString>

struct Job;

// What a screen reader says for a row: its name ("photo.png, 2.3 MB, converted" or
// "photo.png, 2.3 MB, failed: <reason>") and its description (where the file is and,
// once converted, where its result went).
namespace JobAccessibleText {
QString name(const Job& job);
QString description(const Job& job);
} // namespace JobAccessibleText
