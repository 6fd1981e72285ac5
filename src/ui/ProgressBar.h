#pragma once
#include <QLabel>
#include <QPointer>
#include <QWidget>

// A slim rounded bar: a track, a filled part of width present x width / maxValue, and a
// centred label that its owner fills ("12 of 40"). setPresent may be called from any thread.
class ProgressBar : public QWidget {
    Q_OBJECT
public:
    explicit ProgressBar(QWidget* parent = nullptr);

    float maxValue() const { return maxValue_; }
    void setMaxValue(float maxValue);
    qint64 present() const { return present_; }
    // Filled width for the current value; 0 while maxValue is not positive.
    int filledWidth() const;
    QLabel* Label() const { return label_; }

    QSize sizeHint() const override { return {240, 22}; }

public Q_SLOTS:
    void setPresent(qint64 value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyPresent(qint64 value);

    QPointer<QLabel> label_;
    float maxValue_ = 0;
    qint64 present_ = 0;
};
