#pragma once
#include <QString>

struct PicModel;

// What a screen reader says for a row: its name ("photo.png, 2.30 MB, converted" or
// "photo.png, 2.30 MB, failed: <reason>") and its description (where the file is and,
// once converted, where its result went).
namespace JobAccessibleText {
QString name(const PicModel& job);
QString description(const PicModel& job);
} // namespace JobAccessibleText
