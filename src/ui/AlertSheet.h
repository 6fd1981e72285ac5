#pragma once
#include <QMessageBox>
#include <QString>

class QMessageBox;
class QWidget;

// The window's one-button alert: informational unless told otherwise, a single "OK", modal to its
// window only, and shown without waiting for the user. The box deletes itself when dismissed.
namespace AlertSheet {
QMessageBox* show(QWidget* window, const QString& message,
                  QMessageBox::Icon icon = QMessageBox::Information,
                  const QString& title = QStringLiteral("Tessaro Pro"));
}
