#include "StateMarks.h"

#include "Theme.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QtMath>

namespace StateMarks {

namespace {

void paintCompleted(QPainter& p, qreal s) {
    p.setPen(Qt::NoPen);
    p.setBrush(Theme::success());
    p.drawEllipse(QRectF(0, 0, s, s));
    QPen pen(Qt::white, s * 0.11, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    QPainterPath check;
    check.moveTo(s * 0.28, s * 0.52);
    check.lineTo(s * 0.44, s * 0.67);
    check.lineTo(s * 0.72, s * 0.36);
    p.drawPath(check);
}

// The exclamation mark in a disc of the given colour.
void paintAlert(QPainter& p, qreal s, const QColor& disc = Theme::failure()) {
    p.setPen(Qt::NoPen);
    p.setBrush(disc);
    p.drawEllipse(QRectF(0, 0, s, s));
    p.setPen(QPen(Qt::white, s * 0.11, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(s * 0.5, s * 0.26), QPointF(s * 0.5, s * 0.56));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(s * 0.5, s * 0.73), s * 0.065, s * 0.065);
}

// Neither success nor failure: the source is left as it was.
void paintKept(QPainter& p, qreal s) {
    p.setPen(Qt::NoPen);
    p.setBrush(Theme::secondaryText());
    p.drawEllipse(QRectF(0, 0, s, s));
    p.setPen(QPen(Qt::white, s * 0.11, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(s * 0.3, s * 0.4), QPointF(s * 0.7, s * 0.4));
    p.drawLine(QPointF(s * 0.3, s * 0.6), QPointF(s * 0.7, s * 0.6));
}

} // namespace

QPixmap image(Mark mark, int side, qreal devicePixelRatio) {
    const QString key = QStringLiteral("tessaro-mark-%1-%2-%3")
                            .arg(static_cast<int>(mark))
                            .arg(side)
                            .arg(devicePixelRatio);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    pixmap = QPixmap(qCeil(side * devicePixelRatio), qCeil(side * devicePixelRatio));
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (mark) {
    case Mark::Completed:
        paintCompleted(painter, side);
        break;
    case Mark::Warning:
        paintAlert(painter, side, Theme::warning());
        break;
    case Mark::Kept:
        paintKept(painter, side);
        break;
    case Mark::Alert:
        paintAlert(painter, side);
        break;
    }
    painter.end();
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

void paintSpinner(QPainter* painter, const QRectF& rect, int step) {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->translate(rect.center());
    const qreal radius = qMin(rect.width(), rect.height()) / 2.0;
    QColor color = Theme::accent();
    for (int i = 0; i < SpinnerSteps; ++i) {
        // The spoke at the current step is darkest; the ones behind it fade out.
        const int age = (step - i + SpinnerSteps) % SpinnerSteps;
        color.setAlphaF(1.0 - age * (0.85 / SpinnerSteps));
        painter->setPen(QPen(color, radius * 0.2, Qt::SolidLine, Qt::RoundCap));
        painter->save();
        painter->rotate(i * 360.0 / SpinnerSteps);
        painter->drawLine(QPointF(0, -radius * 0.5), QPointF(0, -radius * 0.92));
        painter->restore();
    }
    painter->restore();
}

} // namespace StateMarks
