#pragma once
#include "ModeBox.h"
#include "PresetBox.h"
#include "QualitySlider.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

// The bar under the list: the conversion, the quality, "Keep original dates", the presets, the
// way to the options window and, beneath them, what a run aims at besides the quality.
class OptionsBar : public QFrame {
    Q_OBJECT
public:
    explicit OptionsBar(QWidget* parent = nullptr);

    ModeBox* modeBox() const { return modeBox_; }
    QualitySlider* quality() const { return quality_; }
    QCheckBox* keepDate() const { return keepDate_; }
    PresetBox* presetBox() const { return presetBox_; }
    QPushButton* optionsButton() const { return optionsButton_; }
    // "Aim: at most 200.0 kB · longest side 2048 px"; hidden for the plain quality.
    QLabel* aimLine() const { return aimLine_; }

    void showMode(ConvertMode mode);
    // While a run or an intake is going the conversion stays as it is.
    void setBusy(bool busy);

Q_SIGNALS:
    void modeChosen(ConvertMode mode);
    void optionsRequested();
    void keepDateToggled(bool on);

private:
    void showAim();

    ConvertMode mode_ = ConvertMode::WebpToJpg;
    QPointer<ModeBox> modeBox_;
    QPointer<QualitySlider> quality_;
    QPointer<QCheckBox> keepDate_;
    QPointer<PresetBox> presetBox_;
    QPointer<QPushButton> optionsButton_;
    QPointer<QLabel> aimLine_;
};

// A rounded panel on the window, in the palette's base colour, for the named frame.
QString cardStyle(const QString& objectName);
