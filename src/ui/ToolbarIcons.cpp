#include "ToolbarIcons.h"

#include "Theme.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace ToolbarIcons {

namespace {

using Drawing = std::function<void(QPainter&)>;

// Paints a drawing made on a 24 x 24 grid at whatever size and pixel ratio is asked for, in the
// palette's text colour (or its disabled shade), so the icons stay sharp at any scale and read
// on light and dark desktops alike.
class DrawnIconEngine : public QIconEngine {
public:
    explicit DrawnIconEngine(Drawing draw) : draw_(std::move(draw)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / 24.0, rect.height() / 24.0);
        const QColor color = mode == QIcon::Disabled ? Theme::disabledText() : Theme::text();
        painter->setPen(QPen(color, 1.7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->setBrush(Qt::NoBrush);
        draw_(*painter);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        QPixmap pixmap(size * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine* clone() const override { return new DrawnIconEngine(draw_); }

private:
    Drawing draw_;
};

QIcon drawn(const Drawing& draw) {
    return QIcon(new DrawnIconEngine(draw)); // the icon owns its engine
}

void page(QPainter& p) {
    QPainterPath path;
    path.moveTo(6, 3);
    path.lineTo(14, 3);
    path.lineTo(19, 8);
    path.lineTo(19, 21);
    path.lineTo(6, 21);
    path.closeSubpath();
    p.drawPath(path);
    p.drawPolyline(QPolygonF({QPointF(14, 3), QPointF(14, 8), QPointF(19, 8)}));
}

} // namespace

QIcon addFiles() {
    return drawn([](QPainter& p) {
        page(p);
        p.drawLine(QPointF(12.5, 11), QPointF(12.5, 18));
        p.drawLine(QPointF(9, 14.5), QPointF(16, 14.5));
    });
}

QIcon addFolder() {
    return drawn([](QPainter& p) {
        QPainterPath path;
        path.moveTo(3, 6);
        path.lineTo(9, 6);
        path.lineTo(11, 8);
        path.lineTo(21, 8);
        path.lineTo(21, 19);
        path.lineTo(3, 19);
        path.closeSubpath();
        p.drawPath(path);
        p.drawLine(QPointF(12, 10.5), QPointF(12, 16.5));
        p.drawLine(QPointF(9, 13.5), QPointF(15, 13.5));
    });
}

QIcon clearList() {
    return drawn([](QPainter& p) {
        p.drawLine(QPointF(4, 6.5), QPointF(20, 6.5));
        p.drawPolyline(
            QPolygonF({QPointF(9, 6.5), QPointF(9.5, 3.5), QPointF(14.5, 3.5), QPointF(15, 6.5)}));
        QPainterPath bin;
        bin.moveTo(6, 6.5);
        bin.lineTo(7, 20.5);
        bin.lineTo(17, 20.5);
        bin.lineTo(18, 6.5);
        p.drawPath(bin);
        p.drawLine(QPointF(10, 10), QPointF(10, 17));
        p.drawLine(QPointF(14, 10), QPointF(14, 17));
    });
}

QIcon info() {
    return drawn([](QPainter& p) {
        p.drawEllipse(QRectF(3, 3, 18, 18));
        p.drawLine(QPointF(12, 11), QPointF(12, 16.5));
        p.setBrush(p.pen().color());
        p.drawEllipse(QPointF(12, 7.8), 0.6, 0.6);
    });
}

QIcon account() {
    return drawn([](QPainter& p) {
        p.drawEllipse(QRectF(8, 3.5, 8, 8));
        QPainterPath body;
        body.moveTo(4.5, 20.5);
        body.cubicTo(4.5, 15, 8, 13.5, 12, 13.5);
        body.cubicTo(16, 13.5, 19.5, 15, 19.5, 20.5);
        p.drawPath(body);
    });
}

QIcon options() {
    return drawn([](QPainter& p) {
        for (const auto& [y, x] :
             {std::pair{6.0, 15.0}, std::pair{12.0, 8.0}, std::pair{18.0, 13.0}}) {
            p.drawLine(QPointF(3, y), QPointF(21, y));
            p.save();
            p.setBrush(Theme::surface());
            p.drawEllipse(QPointF(x, y), 2.3, 2.3);
            p.restore();
        }
    });
}

} // namespace ToolbarIcons
