#include "AlertSheet.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace AlertSheet {

QMessageBox* show(QWidget* window, const QString& message, QMessageBox::Icon icon,
                  const QString& title) {
    auto* box = new QMessageBox(icon, title, message, QMessageBox::NoButton, window);
    // File names and tools' words are shown as they are, never as markup.
    box->setTextFormat(Qt::PlainText);
    box->addButton(QCoreApplication::translate("AlertSheet", "OK"), QMessageBox::AcceptRole);
    box->setObjectName(QStringLiteral("alertSheet"));
    box->setWindowModality(Qt::WindowModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return box;
}

} // namespace AlertSheet
