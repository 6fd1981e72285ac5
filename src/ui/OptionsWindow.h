#pragma once
#include "FractionSlider.h"
#include "ModeBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPointer>

// The modal options window: the same mode and quality as the main view's options bar, stored
// at once. It never touches the job list; on closing it posts "RefreshOptions" so the main
// view picks the stored values up.
class OptionsWindow : public QDialog {
    Q_OBJECT
public:
    explicit OptionsWindow(QWidget* parent = nullptr);

    ModeBox* comboBox() const { return modeBox_; }
    FractionSlider* ratioSlider() const { return qualitySlider_; }
    QLabel* ratioText() const { return ratioText_; }
    QCheckBox* includeSubfolders() const { return includeSubfolders_; }
    QComboBox* existingResult() const { return existingResult_; }
    QCheckBox* keepColorProfiles() const { return keepColorProfiles_; }
    QCheckBox* keepMetadata() const { return keepMetadata_; }

    void comboBoxSelectionIsChanging();
    void sliderValueChanged(FractionSlider* sender);

protected:
    void done(int result) override;

private:
    void windowDidLoad();
    void addFolderOptions(class QFormLayout* form);
    void showQualityForMode();

    QPointer<ModeBox> modeBox_;
    QPointer<FractionSlider> qualitySlider_;
    QPointer<QLabel> ratioText_;
    QPointer<QCheckBox> includeSubfolders_;
    QPointer<QComboBox> existingResult_; // 0: keep both (add a number), 1: skip
    QPointer<QCheckBox> keepColorProfiles_;
    QPointer<QCheckBox> keepMetadata_;
};
