#include "TextCentering.h"

#include <cmath>

QRectF adjustedFrameToVerticallyCenterText(const QRectF& frame, qreal ascender, qreal descender) {
    const qreal offset = std::floor(frame.height() * 0.5 - (ascender + descender));
    return frame.adjusted(0, offset, 0, -offset);
}
