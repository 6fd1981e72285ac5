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

    keepColorProfiles_ = new QCheckBox(tr("Keep colour profiles"), this);
    keepColorProfiles_->setToolTip(
        tr("Embed each source's colour profile (such as Adobe RGB or Display P3) "
           "in its result, so viewers show the right colours"));
    keepMetadata_ = new QCheckBox(tr("Keep metadata (date taken, camera, location)"), this);
    keepMetadata_->setToolTip(
        tr("Carry EXIF and XMP into the results. EXIF can hold the GPS location "
           "where the photo was taken."));

    auto* quality = new QHBoxLayout;
    quality->addWidget(qualitySlider_, 1);
    quality->addWidget(ratioText_);

    auto* form = new QFormLayout;
    form->setHorizontalSpacing(16);
    form->setVerticalSpacing(14);
    form->addRow(tr("Conversion"), modeBox_);
    form->addRow(tr("Quality"), quality);
    form->addRow(QString(), keepColorProfiles_);
    form->addRow(QString(), keepMetadata_);
    addFolderOptions(form);

    auto* hint =
        new QLabel(tr("Quality applies to WebP and JPG results. Changing the conversion here "
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
    showQualityForMode();
    keepColorProfiles_->setChecked(
        Settings::boolValue(SettingsKeys::KeepColorProfiles, SettingsDefaults::KeepColorProfiles));
    keepMetadata_->setChecked(
        Settings::boolValue(SettingsKeys::KeepMetadata, SettingsDefaults::KeepMetadata));
    connect(keepColorProfiles_, &QCheckBox::toggled, this,
            [](bool on) { Settings::setValue(SettingsKeys::KeepColorProfiles, on); });
    connect(keepMetadata_, &QCheckBox::toggled, this,
            [](bool on) { Settings::setValue(SettingsKeys::KeepMetadata, on); });
}

void OptionsWindow::addFolderOptions(QFormLayout* form) {
    includeSubfolders_ = new QCheckBox(tr("Include subfolders"), this);
    includeSubfolders_->setChecked(Settings::value(SettingsKeys::IncludeSubfolders).toBool());
    connect(includeSubfolders_, &QCheckBox::toggled, this,
            [](bool on) { Settings::setValue(SettingsKeys::IncludeSubfolders, on); });
    form->addRow(tr("Folders"), includeSubfolders_);
    existingResult_ = new QComboBox(this);
    existingResult_->addItems({tr("Keep both (add a number)"), tr("Skip")});
    existingResult_->setCurrentIndex(
        Settings::value(SettingsKeys::SkipExistingResults).toBool() ? 1 : 0);
    connect(existingResult_, &QComboBox::currentIndexChanged, this,
            [](int index) { Settings::setValue(SettingsKeys::SkipExistingResults, index == 1); });
    form->addRow(tr("If a result already exists"), existingResult_);
}

void OptionsWindow::showQualityForMode() {
    const qint64 mode = modeBox_->currentIndex();
    qualitySlider_->setEnabled(QualityScale::appliesToMode(mode));
    qualitySlider_->setToolTip(QualityScale::sliderToolTip(mode));
}

void OptionsWindow::comboBoxSelectionIsChanging() {
    ModeBox::storeMode(modeBox_->currentIndex());
    showQualityForMode();
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
