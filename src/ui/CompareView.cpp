#include "CompareView.h"

#include "DecodePool.h"
#include "DifferenceMap.h"
#include "Theme.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QtMath>

namespace {
constexpr qreal ZoomStep = 1.25;
constexpr qreal DividerKeyStep = 0.05;

QBrush checkerBrush() {
    // Transparent parts of an image show a checkerboard, as in an image editor.
    const int cell = Theme::em(0.5);
    QPixmap tile(2 * cell, 2 * cell);
    tile.fill(QColor(0xcc, 0xcc, 0xcc));
    QPainter painter(&tile);
    painter.fillRect(0, 0, cell, cell, QColor(0x99, 0x99, 0x99));
    painter.fillRect(cell, cell, cell, cell, QColor(0x99, 0x99, 0x99));
    return QBrush(tile);
}
} // namespace

CompareView::CompareView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(tr("Comparison of source and result"));
    setMinimumSize(Theme::em(12), Theme::em(8));
    describe();
}

CompareView::~CompareView() = default;

void CompareView::setImages(const QImage& source, const QImage& result) {
    source_ = source;
    result_ = result;
    difference_ = QImage();
    ++imagesGeneration_;
    differencePending_ = false;
    placeholder_.clear();
    zoomPan_.fit();
    layoutImage();
    if (mode_ == CompareMode::Difference)
        startDifference();
    changed();
}

void CompareView::clearImages(const QString& placeholder) {
    source_ = result_ = difference_ = QImage();
    ++imagesGeneration_;
    differencePending_ = false;
    placeholder_ = placeholder;
    setAccessibleDescription(placeholder);
    update();
}

void CompareView::setMode(CompareMode mode) {
    if (mode == mode_)
        return;
    mode_ = mode;
    if (mode_ == CompareMode::Difference)
        startDifference();
    Q_EMIT modeChanged(mode_);
    changed();
}

void CompareView::setShowsResult(bool result) {
    showsResult_ = result;
    changed();
}

void CompareView::flip() {
    // Space always lands in Flip, where flipping is what it means.
    if (mode_ != CompareMode::Flip)
        setMode(CompareMode::Flip);
    setShowsResult(!showsResult_);
}

qreal CompareView::zoom() const {
    return zoomPan_.scale() * devicePixelRatioF();
}

void CompareView::setDivider(qreal fraction) {
    divider_ = qBound(0.0, fraction, 1.0);
    changed();
}

void CompareView::fitToWindow() {
    zoomPan_.fit();
    changed();
}

void CompareView::showActualSize() {
    zoomPan_.setScaleAround(1.0 / devicePixelRatioF(), rect().center());
    changed();
}

void CompareView::zoomIn() {
    zoomPan_.zoomAround(ZoomStep, QRectF(rect()).center());
    changed();
}

void CompareView::zoomOut() {
    zoomPan_.zoomAround(1.0 / ZoomStep, QRectF(rect()).center());
    changed();
}

void CompareView::layoutImage() {
    zoomPan_.setSizes(size(), source_.size());
}

void CompareView::changed() {
    describe();
    update();
    Q_EMIT viewChanged();
}

void CompareView::describe() {
    if (!hasImages())
        return;
    const int percent = qRound(zoom() * 100);
    switch (mode_) {
    case CompareMode::Flip:
        setAccessibleDescription(showsResult_ ? tr("Showing the result at %1 %").arg(percent)
                                              : tr("Showing the source at %1 %").arg(percent));
        break;
    case CompareMode::Split:
        setAccessibleDescription(
            tr("Source left, result right, divider at %1 % of the width, zoom %2 %")
                .arg(qRound(divider_ * 100))
                .arg(percent));
        break;
    case CompareMode::Difference:
        setAccessibleDescription(
            tr("Where the result differs most from the source, at %1 %").arg(percent));
        break;
    }
}

void CompareView::startDifference() {
    if (!hasImages() || !difference_.isNull() || differencePending_)
        return;
    differencePending_ = true;
    runOnDecodePool(
        this, [source = source_, result = result_] { return differenceMap(source, result); },
        [this, generation = imagesGeneration_](const QImage& map) {
            if (generation != imagesGeneration_)
                return; // the images changed meanwhile
            difference_ = map;
            differencePending_ = false;
            update();
            Q_EMIT differenceReady();
        });
}

bool CompareView::nearDivider(QPointF at) const {
    return mode_ == CompareMode::Split && qAbs(at.x() - dividerX()) <= Theme::em(0.6);
}

void CompareView::drawVisible(QPainter& painter, const QImage& image, const QRectF& clip) const {
    const QRectF area = clip & zoomPan_.imageRect() & QRectF(rect());
    if (area.isEmpty() || image.isNull())
        return;
    QRectF from = zoomPan_.toImage(area);
    if (image.size() != source_.size()) {
        const qreal sx = qreal(image.width()) / source_.width();
        const qreal sy = qreal(image.height()) / source_.height();
        from = QRectF(from.x() * sx, from.y() * sy, from.width() * sx, from.height() * sy);
    }
    if (image.hasAlphaChannel())
        painter.fillRect(area, checkerBrush());
    painter.drawImage(area, image, from);
}

void CompareView::drawLabel(QPainter& painter, const QString& text, Qt::Alignment corner) const {
    const QFontMetrics metrics(font());
    const int pad = Theme::em(0.3);
    QRect box(0, 0, metrics.horizontalAdvance(text) + 2 * pad, metrics.height() + pad);
    const QRect inner = rect().adjusted(Theme::em(0.5), Theme::em(0.5), -Theme::em(0.5), 0);
    if (corner & Qt::AlignRight)
        box.moveTopRight(inner.topRight());
    else
        box.moveTopLeft(inner.topLeft());
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 150));
    painter.drawRoundedRect(box, pad, pad);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, text);
}

void CompareView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Theme::mix(Theme::window(), Theme::text(), 0.08));
    if (!hasImages()) {
        painter.setPen(Theme::secondaryText());
        painter.drawText(rect().adjusted(Theme::margin(), 0, -Theme::margin(), 0),
                         Qt::AlignCenter | Qt::TextWordWrap, placeholder_);
        return;
    }
    // Zoomed in, pixels stay sharp squares; zoomed out, they are averaged.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, zoomPan_.scale() < 1.0);
    const QRectF all = rect();
    switch (mode_) {
    case CompareMode::Flip:
        drawVisible(painter, showsResult_ ? result_ : source_, all);
        drawLabel(painter, showsResult_ ? tr("Result") : tr("Source"), Qt::AlignLeft);
        break;
    case CompareMode::Split: {
        const qreal x = dividerX();
        drawVisible(painter, source_, QRectF(0, 0, x, height()));
        drawVisible(painter, result_, QRectF(x, 0, width() - x, height()));
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::white, 2));
        painter.drawLine(QPointF(x, 0), QPointF(x, height()));
        const qreal knob = Theme::em(0.6);
        painter.setBrush(Theme::accent());
        painter.drawEllipse(QPointF(x, height() / 2.0), knob, knob);
        drawLabel(painter, tr("Source"), Qt::AlignLeft);
        drawLabel(painter, tr("Result"), Qt::AlignRight);
        break;
    }
    case CompareMode::Difference:
        if (difference_.isNull()) {
            painter.setPen(Theme::secondaryText());
            painter.drawText(rect(), Qt::AlignCenter, tr("Computing the difference…"));
        } else {
            drawVisible(painter, difference_, all);
        }
        drawLabel(painter, tr("Difference"), Qt::AlignLeft);
        break;
    }
}

void CompareView::resizeEvent(QResizeEvent*) {
    layoutImage();
    changed();
}

void CompareView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !hasImages())
        return QWidget::mousePressEvent(event);
    drag_ = nearDivider(event->position()) ? Drag::Divider : Drag::Pan;
    lastDragPoint_ = event->position();
    if (drag_ == Drag::Pan)
        setCursor(Qt::ClosedHandCursor);
}

void CompareView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    switch (drag_) {
    case Drag::Divider:
        setDivider(at.x() / qMax(1, width()));
        break;
    case Drag::Pan:
        zoomPan_.panBy(at - lastDragPoint_);
        lastDragPoint_ = at;
        changed();
        break;
    case Drag::None:
        setCursor(nearDivider(at) ? Qt::SplitHCursor : Qt::OpenHandCursor);
        break;
    }
}

void CompareView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && drag_ != Drag::None) {
        drag_ = Drag::None;
        setCursor(nearDivider(event->position()) ? Qt::SplitHCursor : Qt::OpenHandCursor);
    }
}

void CompareView::wheelEvent(QWheelEvent* event) {
    if (!hasImages())
        return QWidget::wheelEvent(event);
    if (event->modifiers() & Qt::ControlModifier) {
        zoomPan_.zoomAround(qPow(ZoomStep, event->angleDelta().y() / 120.0), event->position());
    } else {
        // A plain wheel or touchpad scrolls the image.
        const QPoint pixels = event->pixelDelta();
        zoomPan_.panBy(pixels.isNull() ? QPointF(event->angleDelta()) / 2 : QPointF(pixels));
    }
    changed();
    event->accept();
}

bool CompareView::handleKey(QKeyEvent* event) {
    const bool control = event->modifiers() & Qt::ControlModifier;
    if (event->matches(QKeySequence::ZoomIn) || (control && event->key() == Qt::Key_Equal))
        zoomIn();
    else if (event->matches(QKeySequence::ZoomOut))
        zoomOut();
    else if (control && event->key() == Qt::Key_0)
        fitToWindow();
    else if (control && event->key() == Qt::Key_1)
        showActualSize();
    else if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier)
        flip();
    else if (mode_ == CompareMode::Split && event->modifiers() == Qt::ShiftModifier &&
             (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right))
        setDivider(divider_ + (event->key() == Qt::Key_Left ? -DividerKeyStep : DividerKeyStep));
    else
        return false;
    return true;
}

void CompareView::keyPressEvent(QKeyEvent* event) {
    if (hasImages() && handleKey(event))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}
