#pragma once
#include <QString>

#include <functional>

class QMessageBox;
class QWidget;

namespace AlertPresenter {
// A warning with one "OK" button as a sheet over the active window (or the fallback
// window when none is active). Returns at once; onOk runs when the user presses "OK".
QMessageBox* show(const QString& message, QWidget* fallbackWindow, std::function<void()> onOk);
} // namespace AlertPresenter
