#include "QualityScale.h"

#include "Settings.h"
#include "SettingsKeys.h"

namespace QualityScale {

int truncatedPercent(float value) {
    return static_cast<int>(value * 100.0f);
}

int percentFromFraction(float value) {
    const float scaled = value * 100.0f;
    if (scaled == 0.0f)
        return DefaultPercent;
    return static_cast<int>(scaled);
}

int storedPercent() {
    return percentFromFraction(Settings::floatValue(SettingsKeys::CompressionRatio));
}

QString percentText(int percent) {
    return QString::asprintf("%d%%", percent);
}

} // namespace QualityScale
