#include "AimOptions.h"

#include "AimScope.h"
#include "ModeTable.h"
#include "Preferences.h"
#include "Theme.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QSignalBlocker>

#include <algorithm>

namespace {
// What the number fields offer once their box is ticked, while nothing is stored.
constexpr int DefaultLongestSide = 2048;
constexpr int DefaultMinimumSaving = 10;
constexpr int BytesPerKilobyte = 1000;

QSpinBox* numberField(int minimum, int maximum, const QString& suffix, QWidget* parent) {
    auto* field = new QSpinBox(parent);
    field->setRange(minimum, maximum);
    field->setSuffix(suffix);
    field->setAccelerated(true);
    field->setMinimumWidth(Theme::em(6));
    return field;
}

// Shows a value without it counting as the user's change.
void showValue(QSpinBox* field, int value) {
    if (field->value() == value)
        return; // a field being typed in keeps its cursor
    const QSignalBlocker quiet(field);
    field->setValue(value);
}

void showChecked(QCheckBox* box, bool on) {
    const QSignalBlocker quiet(box);
    box->setChecked(on);
}

// A ticked box with a number: the number is stored, an unticked one stores 0.
void bindOptionalNumber(QCheckBox* box, QSpinBox* field, void (Preferences::*store)(int)) {
    QObject::connect(box, &QCheckBox::toggled, field, [field, store](bool on) {
        field->setEnabled(on);
        (Preferences::instance().*store)(on ? field->value() : 0);
    });
    QObject::connect(field, &QSpinBox::valueChanged, box, [box, store](int value) {
        if (box->isChecked())
            (Preferences::instance().*store)(value);
    });
}
} // namespace

AimOptions::AimOptions(QWidget* parent)
    : QGroupBox(tr("Size and quality"), parent), mode_(Preferences::instance().mode()),
      kinds_(new QButtonGroup(this)), qualityChoice_(new QRadioButton(tr("Quality"), this)),
      quality_(new QualitySlider(this)), fileSizeChoice_(new QRadioButton(tr("File size"), this)),
      fileSize_(numberField(1, 1000000, tr(" kB"), this)),
      fidelityChoice_(new QRadioButton(tr("Visual fidelity"), this)),
      fidelity_(new QComboBox(this)),
      limitSide_(new QCheckBox(tr("Limit the longest side to"), this)),
      longestSide_(numberField(16, MaxImageSide, tr(" px"), this)),
      lossless_(new QCheckBox(tr("Lossless (WebP results)"), this)),
      requireSaving_(new QCheckBox(tr("Keep a result only if it saves at least"), this)),
      minimumSaving_(numberField(1, 99, tr(" %"), this)) {
    setObjectName(QStringLiteral("aimOptions"));
    kinds_->addButton(qualityChoice_, static_cast<int>(Aim::Kind::Quality));
    kinds_->addButton(fileSizeChoice_, static_cast<int>(Aim::Kind::FileSize));
    kinds_->addButton(fidelityChoice_, static_cast<int>(Aim::Kind::Fidelity));
    quality_->slider()->setMinimumWidth(Theme::em(10));
    for (const Aim::Fidelity level :
         {Aim::Fidelity::VeryHigh, Aim::Fidelity::High, Aim::Fidelity::Good})
        fidelity_->addItem(AimScope::fidelityName(level), static_cast<int>(level));
    const QLocale locale;
    const auto ssim = [&locale](Aim::Fidelity level) {
        return locale.toString(Aim::ssimOf(level), 'f', 2);
    };
    fidelity_->setToolTip(tr("Very high: SSIM %1, for images that are edited further.\nHigh: "
                             "SSIM %2, hard to tell from the source at 100 % zoom.\nGood: SSIM "
                             "%3, differences show when looked for.")
                              .arg(ssim(Aim::Fidelity::VeryHigh), ssim(Aim::Fidelity::High),
                                   ssim(Aim::Fidelity::Good)));
    fileSize_->setToolTip(tr("The most each result may take, in kB of 1000 bytes"));
    longestSide_->setValue(DefaultLongestSide);
    minimumSaving_->setValue(DefaultMinimumSaving);
    qualityChoice_->setToolTip(tr("Every image at the quality of the slider"));
    limitSide_->setToolTip(tr("Larger images are scaled down, keeping their proportions; "
                              "smaller ones are never enlarged"));
    requireSaving_->setToolTip(tr("A result that does not save this much is not written: the "
                                  "source stays as it is"));
    buildLayout();
    refresh();
    connectControls();
}

void AimOptions::buildLayout() {
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(Theme::em(0.75));
    grid->setVerticalSpacing(Theme::em(0.5));
    grid->addWidget(new QLabel(tr("Aim for"), this), 0, 0);
    grid->addWidget(qualityChoice_, 0, 1);
    grid->addWidget(quality_, 0, 2, 1, 2);
    grid->addWidget(fileSizeChoice_, 1, 1);
    grid->addWidget(fileSize_, 1, 2);
    grid->addWidget(fidelityChoice_, 2, 1);
    grid->addWidget(fidelity_, 2, 2);
    grid->setColumnStretch(3, 1);
    const auto line = [grid](int row, QWidget* box, QWidget* field) {
        auto* layout = new QHBoxLayout;
        layout->setSpacing(Theme::em(0.5));
        layout->addWidget(box);
        if (field != nullptr)
            layout->addWidget(field);
        layout->addStretch(1);
        grid->addLayout(layout, row, 0, 1, 4);
    };
    grid->setRowMinimumHeight(3, Theme::em(0.25));
    line(4, limitSide_, longestSide_);
    line(5, lossless_, nullptr);
    line(6, requireSaving_, minimumSaving_);
}

void AimOptions::connectControls() {
    Preferences& preferences = Preferences::instance();
    connect(kinds_, &QButtonGroup::idClicked, &preferences,
            [](int kind) { Preferences::instance().setAimKind(static_cast<Aim::Kind>(kind)); });
    connect(fileSize_, &QSpinBox::valueChanged, &preferences, [](int kilobytes) {
        Preferences::instance().setTargetFileSize(qint64(kilobytes) * BytesPerKilobyte);
    });
    connect(fidelity_, &QComboBox::currentIndexChanged, &preferences, [this](int index) {
        Preferences::instance().setTargetFidelity(
            static_cast<Aim::Fidelity>(fidelity_->itemData(index).toInt()));
    });
    bindOptionalNumber(limitSide_, longestSide_, &Preferences::setLongestSide);
    connect(lossless_, &QCheckBox::toggled, &preferences, &Preferences::setLossless);
    bindOptionalNumber(requireSaving_, minimumSaving_, &Preferences::setMinimumSaving);
    // Also the window's own changes: lossless turns the size and fidelity aims off.
    connect(&preferences, &Preferences::aimChanged, this, &AimOptions::refresh);
}

void AimOptions::showMode(ConvertMode mode) {
    mode_ = mode;
    quality_->showMode(mode);
    refresh();
}

void AimOptions::refresh() {
    const Preferences& preferences = Preferences::instance();
    const Aim aim = preferences.aim();
    const AimScope scope(mode_, aim);
    const Aim::Kind kind = scope.kind();
    kinds_->button(static_cast<int>(kind))->setChecked(true);
    const bool perImage = scope.perImageAimsApply();
    const QString why = scope.whyNoPerImageAim();
    fileSizeChoice_->setEnabled(perImage);
    fileSizeChoice_->setToolTip(
        perImage ? tr("Each WebP or JPG result as close to this size as it can get, not above")
                 : why);
    fidelityChoice_->setEnabled(perImage);
    fidelityChoice_->setToolTip(
        perImage ? tr("The smallest WebP or JPG result that looks this close to its source") : why);
    fileSize_->setEnabled(kind == Aim::Kind::FileSize);
    fidelity_->setEnabled(kind == Aim::Kind::Fidelity);
    const qint64 kilobytes =
        (preferences.targetFileSize() + BytesPerKilobyte / 2) / BytesPerKilobyte;
    showValue(fileSize_, static_cast<int>(std::clamp<qint64>(kilobytes, 1, fileSize_->maximum())));
    {
        const QSignalBlocker quiet(fidelity_);
        fidelity_->setCurrentIndex(
            fidelity_->findData(static_cast<int>(preferences.targetFidelity())));
    }

    showChecked(limitSide_, aim.maxSide > 0);
    longestSide_->setEnabled(aim.maxSide > 0);
    if (aim.maxSide > 0)
        showValue(longestSide_, aim.maxSide);
    const bool losslessApplies = ModeTable::traits(mode_).losslessApplies;
    showChecked(lossless_, aim.lossless);
    lossless_->setEnabled(losslessApplies);
    lossless_->setToolTip(losslessApplies
                              ? tr("WebP results keep every pixel of their source; they are "
                                   "larger, and no file size or fidelity is aimed at")
                              : tr("Lossless applies to WebP results made from JPG or PNG images"));
    showChecked(requireSaving_, aim.minSavingPercent > 0);
    minimumSaving_->setEnabled(aim.minSavingPercent > 0);
    if (aim.minSavingPercent > 0)
        showValue(minimumSaving_, aim.minSavingPercent);
}
