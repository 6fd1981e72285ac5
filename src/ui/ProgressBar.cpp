#include "ProgressBar.h"

#include "Theme.h"

#include <QLabel>
#include <QPainter>

ProgressBar::ProgressBar(QWidget* parent) : QWidget(parent), label_(new QLabel(this)) {
    setAttribute(Qt::WA_TranslucentBackground);
    label_->setAlignment(Qt::AlignCenter);
    label_->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont font = Theme::scaledFont(label_->font(), 0.92);
    font.setWeight(QFont::DemiBold);
    label_->setFont(font);
    label_->setStyleSheet(
        QStringLiteral("color: %1; background: transparent;").arg(Theme::text().name()));
    setMinimumHeight(Theme::em(1.4));
}

void ProgressBar::setProgress(qsizetype done, qsizetype total) {
    done_ = done;
    total_ = total;
    label_->setText(tr("%1 of %2").arg(done).arg(total));
    update();
}

int ProgressBar::filledWidth() const {
    if (total_ <= 0)
        return 0;
    const double share = qBound(0.0, static_cast<double>(done_) / static_cast<double>(total_), 1.0);
    return static_cast<int>(share * width());
}

void ProgressBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Theme::separator());
    painter.drawRoundedRect(QRectF(rect()), 3, 3);
    const int filled = filledWidth();
    if (filled > 0) {
        QColor fill = Theme::accent();
        fill.setAlpha(150);
        painter.setBrush(fill);
        painter.drawRoundedRect(QRectF(0, 0, filled, height()), 3, 3);
    }
}

void ProgressBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    label_->setGeometry(rect());
}
