#pragma once
#include "Vocabulary.h"

#include <QLabel>
#include <QPointer>
#include <QSlider>
#include <QWidget>

// The quality control of both windows: a slider over whole per cent with the value beside it,
// bound to the stored quality both ways, and disabled (saying why) where the quality does not
// decide the results: a lossless mode, lossless chosen, or a file size or fidelity aimed at.
class QualitySlider : public QWidget {
    Q_OBJECT
public:
    explicit QualitySlider(QWidget* parent = nullptr);

    void showMode(ConvertMode mode);
    QSlider* slider() const { return slider_; }
    QLabel* valueLabel() const { return valueLabel_; }

private:
    void showQuality(int percent);
    void showScope();

    ConvertMode mode_ = ConvertMode::WebpToJpg;
    QPointer<QSlider> slider_;
    QPointer<QLabel> valueLabel_;
};
