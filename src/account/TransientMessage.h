#pragma once
#include <QWidget>

// A short text without spinner over the active window's content, gone after a second.
class TransientMessage : public QWidget {
    Q_OBJECT
public:
    static constexpr int kShownMs = 1000;
    // Returns nothing when the application has no window to show it over.
    static TransientMessage* showInActiveWindow(const QString& text);
    QString text() const { return text_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TransientMessage(QWidget* host, const QString& text);
    QString text_;
};
