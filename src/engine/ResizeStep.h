#pragma once
#include <QImage>
#include <QSize>

// Shrinking a still so that its longest side is at most a given number of pixels. The
// measures compare a resized result with the source passed through this same function.
namespace ResizeStep {

// The size that fits: the longest side becomes maxSide, the other keeps the aspect, rounded
// to the nearest pixel (halves up) and at least 1. Never enlarged: a source that already
// fits, an empty one or a maxSide below 1 (no limit) comes back unchanged.
QSize fittedSize(QSize source, int maxSide);

// The image smoothly scaled to fittedSize(), alpha kept; the image itself when it fits.
QImage resizedToFit(const QImage& image, int maxSide);

} // namespace ResizeStep
