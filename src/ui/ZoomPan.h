#pragma once
#include <QPointF>
#include <QRectF>
#include <QSizeF>

// Where an image lies in a view: its scale (view pixels per image pixel) and the view position
// of its top-left corner. An image smaller than the view is centred; a larger one cannot be
// dragged so far that space opens beside it. Fitted, it follows the view's size.
class ZoomPan {
public:
    static constexpr qreal MaxScale = 32.0;

    void setSizes(QSizeF view, QSizeF image);
    void fit();
    // Scale by factor (bounded), keeping the image point under anchor in place.
    void zoomAround(qreal factor, QPointF anchor);
    void setScaleAround(qreal scale, QPointF anchor);
    void panBy(QPointF delta);

    qreal scale() const { return scale_; }
    QPointF offset() const { return offset_; }
    bool fitted() const { return fitted_; }
    // The image's rectangle in view coordinates, and a view rectangle in image coordinates.
    QRectF imageRect() const { return {offset_, image_ * scale_}; }
    QRectF toImage(const QRectF& viewRect) const;

private:
    qreal fitScale() const;
    void clampOffset();

    QSizeF view_;
    QSizeF image_;
    qreal scale_ = 1.0;
    QPointF offset_;
    bool fitted_ = true;
};
