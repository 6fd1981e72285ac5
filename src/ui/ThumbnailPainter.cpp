#include "ThumbnailPainter.h"

#include "Theme.h"

#include <QPainter>
#include <QPainterPath>

void paintThumbnail(QPainter* painter, const QRect& rect, const QImage& thumbnail, bool animated) {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    // Decoded at most rect's size in screen pixels; smaller sources are spread to fill it.
    QRectF target(QPointF(), QSizeF(thumbnail.size()).scaled(rect.size(), Qt::KeepAspectRatio));
    target.moveCenter(QRectF(rect).center());
    const qreal radius = rect.width() * 0.12;
    QPainterPath clip;
    clip.addRoundedRect(target, radius, radius);
    painter->setClipPath(clip);
    painter->drawImage(target, thumbnail);
    painter->setClipping(false);
    painter->setPen(QPen(Theme::separator(), 1));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(target.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    if (animated) {
        // A play triangle on a dark disc: readable on light and dark pictures alike.
        const qreal side = qMax<qreal>(Theme::em(0.9), 8);
        const QRectF disc(target.right() - side - 2, target.bottom() - side - 2, side, side);
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(0, 0, 0, 170));
        painter->drawEllipse(disc);
        const QPointF c = disc.center();
        const qreal s = side * 0.22;
        painter->setBrush(Qt::white);
        painter->drawPolygon(QPolygonF{c + QPointF(-s * 0.8, -s), c + QPointF(-s * 0.8, s),
                                       c + QPointF(s * 1.1, 0)});
    }
    painter->restore();
}
