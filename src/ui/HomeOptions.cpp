// Options actions of the home view: mode box, quality slider and the options window.
#include "HomeViewController.h"

#include "FractionSlider.h"
#include "ModeBox.h"
#include "OptionsWindow.h"
#include "QualityScale.h"
#include "Settings.h"
#include "SettingsKeys.h"

#include <QDebug>
#include <QLabel>
#include <QSignalBlocker>

namespace {

void showQualityForMode(FractionSlider* slider, qint64 mode) {
    slider->setEnabled(QualityScale::appliesToMode(mode));
    slider->setToolTip(QualityScale::sliderToolTip(mode));
}

} // namespace

void HomeViewController::refreshOptions() {
    // The list being converted or filled keeps the mode it was started with.
    if (isRunning() || isIntakeBusy()) {
        refreshPending_ = true;
        return;
    }
    {
        // Selecting from the store is not a user's choice: it must not clear the list.
        const QSignalBlocker quiet(modeBox_);
        convertType_ = modeBox_->selectMode(Settings::integerValue(SettingsKeys::Format));
    }
    const int percent = QualityScale::storedPercent();
    ratioText_->setText(QualityScale::percentText(percent));
    ratio_ = percent;
    const QSignalBlocker quiet(qualitySlider_);
    qualitySlider_->setFractionValue(percent / 100.0);
    showQualityForMode(qualitySlider_, convertType_);
}

void HomeViewController::comboBoxSelectionIsChanging() {
    const qint64 index = modeBox_->currentIndex();
    ModeBox::storeMode(index);
    if (index != convertType_)
        clearFile();
    convertType_ = index;
    showQualityForMode(qualitySlider_, convertType_);
}

void HomeViewController::comboBoxSelectionDidChange() {
    qInfo().noquote() << QString::asprintf("%ld", static_cast<long>(modeBox_->currentIndex()));
}

void HomeViewController::sliderValueChanged(FractionSlider* sender) {
    const QString text = sender->valueText();
    const float value = text.toFloat();
    if (sender->tag() != 0)
        return;
    const int percent = QualityScale::truncatedPercent(value);
    ratioText_->setText(QualityScale::percentText(percent));
    ratio_ = percent;
    Settings::setValue(SettingsKeys::CompressionRatio, text);
}

void HomeViewController::showOptions() {
    if (isRunning() || isIntakeBusy())
        return;
    if (optionsWindow_ != nullptr)
        optionsWindow_->deleteLater();
    optionsWindow_ = new OptionsWindow(window());
    // Modal to the window, without a nested event loop.
    optionsWindow_->open();
}
