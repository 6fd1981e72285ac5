#include "TransientMessage.h"

#include <QApplication>
#include <QPainter>
#include <QTimer>

namespace {
QWidget* hostWindow() {
    if (QWidget* active = QApplication::activeWindow())
        return active;
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    const auto windows = QApplication::topLevelWidgets();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if ((*it)->isVisible() && (*it)->isWindow())
            return *it;
    }
    return nullptr;
}
} // namespace

TransientMessage* TransientMessage::showInActiveWindow(const QString& text) {
    QWidget* host = hostWindow();
    if (!host)
        return nullptr;
    auto* message = new TransientMessage(host, text); // owned by the window
    message->show();
    message->raise();
    QTimer::singleShot(kShownMs, message, &QObject::deleteLater);
    return message;
}

TransientMessage::TransientMessage(QWidget* host, const QString& text)
    : QWidget(host), text_(text) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    const QFontMetrics metrics(font());
    const QSize size = metrics.size(Qt::TextSingleLine, text_) + QSize(48, 28);
    setGeometry(QRect(
        QPoint((host->width() - size.width()) / 2, (host->height() - size.height()) / 2), size));
}

void TransientMessage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0, 0, 0, 200));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(rect(), 8, 8);
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter, text_);
}
