#include "ZoomPan.h"

#include <QtMath>

namespace {
// Centred when it fits; otherwise no gap may open on either side.
qreal clampAxis(qreal offset, qreal viewLength, qreal imageLength) {
    if (imageLength <= viewLength)
        return (viewLength - imageLength) / 2;
    return qBound(viewLength - imageLength, offset, 0.0);
}
} // namespace

void ZoomPan::setSizes(QSizeF view, QSizeF image) {
    view_ = view;
    image_ = image;
    if (fitted_)
        fit();
    else
        clampOffset();
}

qreal ZoomPan::fitScale() const {
    if (image_.isEmpty() || view_.isEmpty())
        return 1.0;
    // Small images are shown at their size, not blown up.
    return qMin(1.0, qMin(view_.width() / image_.width(), view_.height() / image_.height()));
}

void ZoomPan::fit() {
    fitted_ = true;
    scale_ = fitScale();
    clampOffset();
}

void ZoomPan::zoomAround(qreal factor, QPointF anchor) {
    setScaleAround(scale_ * factor, anchor);
}

void ZoomPan::setScaleAround(qreal scale, QPointF anchor) {
    // Never smaller than the fitted view (or a tenth of a small image's size).
    const qreal bounded = qBound(qMin(fitScale(), 0.1), scale, MaxScale);
    const QPointF imagePoint = (anchor - offset_) / scale_;
    scale_ = bounded;
    offset_ = anchor - imagePoint * scale_;
    fitted_ = false;
    clampOffset();
}

void ZoomPan::panBy(QPointF delta) {
    offset_ += delta;
    clampOffset();
}

QRectF ZoomPan::toImage(const QRectF& viewRect) const {
    return {(viewRect.topLeft() - offset_) / scale_, viewRect.size() / scale_};
}

void ZoomPan::clampOffset() {
    offset_ = {clampAxis(offset_.x(), view_.width(), image_.width() * scale_),
               clampAxis(offset_.y(), view_.height(), image_.height() * scale_)};
}
