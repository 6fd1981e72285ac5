#pragma once
#include <QString>

// The quality as the sliders hold it (a fraction of one) and as the encoders take it (a whole
// percentage). A fraction that comes out as 0 % means "no choice made": 90 %.
namespace QualityScale {
inline constexpr int DefaultPercent = 90;

// value x 100 in single precision, truncated toward zero (what a moving slider shows).
int truncatedPercent(float value);
// The same, but 90 when it comes out as exactly 0 (what a refresh from the store shows).
int percentFromFraction(float value);
// The percentage the store holds under "CompressionRatio" (90 when missing or not a number).
int storedPercent();
// "85%"
QString percentText(int percent);
// False for a mode whose results are lossless (WebP to PNG): the slider is then disabled.
bool appliesToMode(qint64 mode);
// The quality slider's tooltip in mode.
QString sliderToolTip(qint64 mode);
} // namespace QualityScale
