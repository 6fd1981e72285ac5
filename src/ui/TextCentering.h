#pragma once
#include <QRectF>

// The text frame of a one-line field with the text centred vertically: inset at top and
// bottom by floor(height / 2 - (ascender + descender)), the descender counted negative below
// the baseline as font tables give it.
QRectF adjustedFrameToVerticallyCenterText(const QRectF& frame, qreal ascender, qreal descender);
