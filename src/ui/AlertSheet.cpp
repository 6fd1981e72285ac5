#include "AlertSheet.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace AlertSheet {

QMessageBox* show(QWidget* window, const QString& message, QMessageBox::Icon icon,
                  const QString& title) {
    auto* box = new QMessageBox(icon, title, message, QMessageBox::NoButton, window);
    box->addButton(QCoreApplication::translate("AlertSheet", "OK"), QMessageBox::AcceptRole);
    box->setObjectName(QStringLiteral("alertSheet"));
    box->setWindowModality(Qt::WindowModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return box;
}

} // namespace AlertSheet
