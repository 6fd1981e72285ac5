#include "LoadingOverlay.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPainter>
#include <QPropertyAnimation>
#include <QVBoxLayout>

namespace {
constexpr qreal kShownOpacity = 0.7;
constexpr int kFadeMs = 150;
} // namespace

LoadingOverlay* LoadingOverlay::showOver(QWidget* view, const QString& detailText) {
    if (!view)
        return nullptr;
    auto* overlay = new LoadingOverlay(view, detailText); // owned by the view
    overlay->show();
    overlay->raise();
    overlay->fadeTo(kShownOpacity);
    return overlay;
}

void LoadingOverlay::hideOver(QWidget* view) {
    if (!view)
        return;
    const auto overlays = view->findChildren<LoadingOverlay*>(Qt::FindDirectChildrenOnly);
    for (auto it = overlays.rbegin(); it != overlays.rend(); ++it) {
        if (!(*it)->isHiding()) {
            (*it)->hideAnimated();
            return;
        }
    }
}

LoadingOverlay::LoadingOverlay(QWidget* view, const QString& detailText)
    : QWidget(view), label_(new QLabel(detailText, this)) {
    setAttribute(Qt::WA_NoSystemBackground);
    label_->setTextFormat(Qt::PlainText);
    label_->setAlignment(Qt::AlignCenter);
    label_->setStyleSheet(QStringLiteral(
        "QLabel { color: white; background: black; border-radius: 8px; padding: 16px 24px; }"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_, 0, Qt::AlignCenter);
    auto* effect = new QGraphicsOpacityEffect(this);
    effect->setOpacity(0.0);
    setGraphicsEffect(effect);
    setGeometry(view->rect());
    view->installEventFilter(this);
}

QString LoadingOverlay::detailText() const {
    return label_->text();
}

bool LoadingOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void LoadingOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, 90));
}

void LoadingOverlay::fadeTo(qreal opacity) {
    // A hide right after the show replaces the fade-in, so the overlay cannot come back.
    if (fade_)
        fade_->stop();
    fade_ = new QPropertyAnimation(graphicsEffect(), "opacity", this);
    fade_->setDuration(kFadeMs);
    fade_->setEndValue(opacity);
    if (hiding_)
        connect(fade_, &QAbstractAnimation::finished, this, &QObject::deleteLater);
    fade_->start(QAbstractAnimation::DeleteWhenStopped);
}

void LoadingOverlay::hideAnimated() {
    hiding_ = true;
    fadeTo(0.0);
}
