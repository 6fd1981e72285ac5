#include "QualityScale.h"

#include "PicModel.h"
#include "Settings.h"
#include "SettingsKeys.h"

#include <QCoreApplication>

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

bool appliesToMode(qint64 mode) {
    return mode != ConvertMode::WebpToPng;
}

QString sliderToolTip(qint64 mode) {
    return appliesToMode(mode)
               ? QCoreApplication::translate("QualityScale", "Quality of the WebP or JPG results")
               : QCoreApplication::translate(
                     "QualityScale",
                     "PNG results are lossless: the quality setting does not apply");
}

} // namespace QualityScale
