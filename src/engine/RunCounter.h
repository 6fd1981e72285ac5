#pragma once
#include <QtGlobal>

// Counts finished runs since launch in "ConvertCount"; the rating invitation follows the
// second run of a launch.
namespace RunCounter {
void resetAtLaunch();
// Stores the old value plus one and returns the new value.
qint64 countFinishedRun();
inline constexpr qint64 RatingRequestRun = 2;
} // namespace RunCounter
