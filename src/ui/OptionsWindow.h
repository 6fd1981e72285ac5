#pragma once
#include "AimOptions.h"
#include "ModeBox.h"
#include "QualitySlider.h"
#include "SaveResultsBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QPointer>

class QFormLayout;

// The modal options window: the conversion and quality of the options bar, what a conversion
// aims at, and the choices that have no place there; every change is stored at once. It never
// touches the job list.
class OptionsWindow : public QDialog {
    Q_OBJECT
public:
    explicit OptionsWindow(QWidget* parent = nullptr);

    ModeBox* modeBox() const { return modeBox_; }
    QualitySlider* quality() const { return aimOptions_->quality(); }
    AimOptions* aimOptions() const { return aimOptions_; }
    QCheckBox* includeSubfolders() const { return includeSubfolders_; }
    QComboBox* existingResult() const { return existingResult_; }
    SaveResultsBox* saveResults() const { return saveResults_; }
    QCheckBox* keepColorProfiles() const { return keepColorProfiles_; }
    QCheckBox* keepMetadata() const { return keepMetadata_; }

private:
    void addFolderOptions(QFormLayout* form);

    QPointer<ModeBox> modeBox_;
    QPointer<AimOptions> aimOptions_;
    QPointer<QCheckBox> includeSubfolders_;
    QPointer<QComboBox> existingResult_; // 0: keep both (add a number), 1: skip
    QPointer<SaveResultsBox> saveResults_;
    QPointer<QCheckBox> keepColorProfiles_;
    QPointer<QCheckBox> keepMetadata_;
};
