#include "AlertPresenter.h"

#include <QApplication>
#include <QMessageBox>

namespace AlertPresenter {

QMessageBox* show(const QString& message, QWidget* fallbackWindow, std::function<void()> onOk) {
    QWidget* window = QApplication::activeWindow();
    if (!window)
        window = fallbackWindow;
    // Owned by its window, or deleted on close when there is no window at all.
    auto* alert =
        new QMessageBox(QMessageBox::Warning, QString(), message, QMessageBox::Ok, window);
    // The service's words and paths are shown as they are, never as markup.
    alert->setTextFormat(Qt::PlainText);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    QObject::connect(alert, &QMessageBox::finished, alert, [onOk = std::move(onOk)](int) {
        if (onOk)
            onOk();
    });
    alert->open();
    return alert;
}

} // namespace AlertPresenter
