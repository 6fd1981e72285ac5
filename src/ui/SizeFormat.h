#pragma once
#include <QString>

// A job's size (units of 1000 bytes) as the row shows it: "%.2f KB" up to 1024, above that
// "%.2f MB" with the size divided by 1024.
QString formattedSize(double size);
