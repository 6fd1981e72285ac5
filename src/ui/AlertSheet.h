#pragma once
#include <QString>

class QMessageBox;
class QWidget;

// The window's one-button alert: informational, a single "OK", modal to its window only, and
// shown without waiting for the user. The box deletes itself when dismissed.
namespace AlertSheet {
QMessageBox* show(QWidget* window, const QString& message);
}
