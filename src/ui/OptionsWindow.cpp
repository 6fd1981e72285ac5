#include "OptionsWindow.h"

#include "ControlDescriptions.h"
#include "FractionSlider.h"
#include "ModeBox.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "QualityScale.h"
#include "Settings.h"
#include "SettingsKeys.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

OptionsWindow::OptionsWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Options"));
    setModal(true);
    modeBox_ = new ModeBox(this);
    qualitySlider_ = new FractionSlider(this);
    qualitySlider_->setMinimumWidth(220);
    ratioText_ = new QLabel(this);
    ratioText_->setMinimumWidth(44);
    ratioText_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* quality = new QHBoxLayout;
    quality->addWidget(qualitySlider_, 1);
    quality->addWidget(ratioText_);

    auto* form = new QFormLayout;
    form->setHorizontalSpacing(16);
    form->setVerticalSpacing(14);
    form->addRow(tr("Conversion"), modeBox_);
    form->addRow(tr("Quality"), quality);

    auto* hint =
        new QLabel(tr("Quality applies when encoding to WebP. Changing the conversion here "
                      "keeps the files already in the list."),
                   this);
    hint->setWordWrap(true);
    hint->setStyleSheet(QStringLiteral("color: palette(mid);"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 16);
    layout->setSpacing(16);
    layout->addLayout(form);
    layout->addWidget(hint);
    layout->addWidget(buttons);

    windowDidLoad();
    ControlDescriptions::describeOptions(this);
}

void OptionsWindow::windowDidLoad() {
    connect(qualitySlider_, &QSlider::valueChanged, this,
            [this] { sliderValueChanged(qualitySlider_); });
    modeBox_->selectMode(Settings::integerValue(SettingsKeys::Format));
    const int percent = QualityScale::storedPercent();
    ratioText_->setText(QualityScale::percentText(percent));
    {
        const QSignalBlocker quiet(qualitySlider_);
        qualitySlider_->setFractionValue(percent / 100.0);
    }
    connect(modeBox_, &QComboBox::activated, this, [this] { comboBoxSelectionIsChanging(); });
}

void OptionsWindow::comboBoxSelectionIsChanging() {
    ModeBox::storeMode(modeBox_->currentIndex());
}

void OptionsWindow::sliderValueChanged(FractionSlider* sender) {
    const QString text = sender->valueText();
    const float value = text.toFloat();
    if (sender->tag() != 0)
        return;
    ratioText_->setText(QualityScale::percentText(QualityScale::truncatedPercent(value)));
    Settings::setValue(SettingsKeys::CompressionRatio, text);
}

void OptionsWindow::done(int result) {
    QDialog::done(result);
    NotificationCenter::defaultCenter().post(QLatin1String(NotificationNames::RefreshOptions));
}
