#pragma once
#include "QualitySlider.h"
#include "Vocabulary.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPointer>
#include <QRadioButton>
#include <QSpinBox>

// The options window's "Size and quality" group: what a conversion aims for (the quality, a
// file size or a visual fidelity), a limit on the longest side, lossless WebP results and a
// minimum saving. It reads and writes only the stored choices, and disables what the shown
// mode or lossless make meaningless, saying why in the tool tip.
class AimOptions : public QGroupBox {
    Q_OBJECT
public:
    explicit AimOptions(QWidget* parent = nullptr);

    void showMode(ConvertMode mode);

    QRadioButton* qualityChoice() const { return qualityChoice_; }
    QualitySlider* quality() const { return quality_; }
    QRadioButton* fileSizeChoice() const { return fileSizeChoice_; }
    QSpinBox* fileSize() const { return fileSize_; } // kB of 1000 bytes
    QRadioButton* fidelityChoice() const { return fidelityChoice_; }
    QComboBox* fidelity() const { return fidelity_; } // items in Aim::Fidelity order
    QCheckBox* limitSide() const { return limitSide_; }
    QSpinBox* longestSide() const { return longestSide_; } // pixels
    QCheckBox* lossless() const { return lossless_; }
    QCheckBox* requireSaving() const { return requireSaving_; }
    QSpinBox* minimumSaving() const { return minimumSaving_; } // per cent

private:
    void buildLayout();
    void connectControls();
    // Shows the stored choices and what of them the mode lets take effect.
    void refresh();

    ConvertMode mode_;
    QPointer<QButtonGroup> kinds_;
    QPointer<QRadioButton> qualityChoice_;
    QPointer<QualitySlider> quality_;
    QPointer<QRadioButton> fileSizeChoice_;
    QPointer<QSpinBox> fileSize_;
    QPointer<QRadioButton> fidelityChoice_;
    QPointer<QComboBox> fidelity_;
    QPointer<QCheckBox> limitSide_;
    QPointer<QSpinBox> longestSide_;
    QPointer<QCheckBox> lossless_;
    QPointer<QCheckBox> requireSaving_;
    QPointer<QSpinBox> minimumSaving_;
};
