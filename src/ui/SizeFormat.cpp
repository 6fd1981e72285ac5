#include "SizeFormat.h"

QString formattedSize(double size) {
    if (size > 1024.0)
        return QString::asprintf("%.2f MB", size * 0.0009765625);
    return QString::asprintf("%.2f KB", size);
}
