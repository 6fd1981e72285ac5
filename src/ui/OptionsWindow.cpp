#include "OptionsWindow.h"

#include "ControlDescriptions.h"
#include "Preferences.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

OptionsWindow::OptionsWindow(QWidget* parent)
    : QDialog(parent), modeBox_(new ModeBox(this)), aimOptions_(new AimOptions(this)) {
    setWindowTitle(tr("Options"));
    setModal(true);
    Preferences& preferences = Preferences::instance();
    const ConvertMode mode = preferences.mode();
    modeBox_->showMode(mode);
    aimOptions_->showMode(mode);
    connect(modeBox_, &ModeBox::modeChosen, this, [this](ConvertMode chosen) {
        Preferences::instance().setMode(chosen);
        aimOptions_->showMode(chosen);
    });

    keepColorProfiles_ = new QCheckBox(tr("Keep colour profiles"), this);
    keepColorProfiles_->setToolTip(
        tr("Embed each source's colour profile (such as Adobe RGB or Display P3) "
           "in its result, so viewers show the right colours"));
    keepColorProfiles_->setChecked(preferences.keepColorProfiles());
    connect(keepColorProfiles_, &QCheckBox::toggled, &preferences,
            &Preferences::setKeepColorProfiles);
    keepMetadata_ = new QCheckBox(tr("Keep metadata (date taken, camera, location)"), this);
    keepMetadata_->setToolTip(
        tr("Carry EXIF and XMP into the results. EXIF can hold the GPS location "
           "where the photo was taken."));
    keepMetadata_->setChecked(preferences.keepMetadata());
    connect(keepMetadata_, &QCheckBox::toggled, &preferences, &Preferences::setKeepMetadata);

    auto* form = new QFormLayout;
    form->setHorizontalSpacing(16);
    form->setVerticalSpacing(14);
    form->addRow(tr("Conversion"), modeBox_);
    form->addRow(aimOptions_);
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
    ControlDescriptions::describeOptions(this);
}

void OptionsWindow::addFolderOptions(QFormLayout* form) {
    Preferences& preferences = Preferences::instance();
    includeSubfolders_ = new QCheckBox(tr("Include subfolders"), this);
    includeSubfolders_->setChecked(preferences.includeSubfolders());
    connect(includeSubfolders_, &QCheckBox::toggled, &preferences,
            &Preferences::setIncludeSubfolders);
    form->addRow(tr("Folders"), includeSubfolders_);
    existingResult_ = new QComboBox(this);
    existingResult_->addItems({tr("Keep both (add a number)"), tr("Skip")});
    existingResult_->setCurrentIndex(preferences.skipExistingResults() ? 1 : 0);
    connect(existingResult_, &QComboBox::currentIndexChanged, this,
            [](int index) { Preferences::instance().setSkipExistingResults(index == 1); });
    form->addRow(tr("If a result already exists"), existingResult_);
    saveResults_ = new SaveResultsBox(this);
    form->addRow(tr("Save results"), saveResults_);
}
