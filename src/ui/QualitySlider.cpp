#include "QualitySlider.h"

#include "AimScope.h"
#include "ModeTable.h"
#include "Preferences.h"
#include "Theme.h"

#include <QHBoxLayout>
#include <QSignalBlocker>

QualitySlider::QualitySlider(QWidget* parent)
    : QWidget(parent), slider_(new QSlider(Qt::Horizontal, this)), valueLabel_(new QLabel(this)) {
    slider_->setObjectName(QStringLiteral("qualitySlider"));
    slider_->setRange(0, 100);
    slider_->setPageStep(10);
    slider_->setTracking(true); // stored while the knob is dragged
    valueLabel_->setObjectName(QStringLiteral("qualityValue"));
    valueLabel_->setMinimumWidth(Theme::em(2.5));
    valueLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    valueLabel_->setStyleSheet(QStringLiteral("font-weight: 600;"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(slider_, 1);
    layout->addWidget(valueLabel_);

    Preferences& preferences = Preferences::instance();
    showQuality(preferences.quality());
    connect(slider_, &QSlider::valueChanged, this, [this](int percent) {
        valueLabel_->setText(tr("%1%").arg(percent));
        Preferences::instance().setQuality(percent);
    });
    // The other window's slider, or a stored value read again.
    connect(&preferences, &Preferences::qualityChanged, this, &QualitySlider::showQuality);
    connect(&preferences, &Preferences::aimChanged, this, &QualitySlider::showScope);
}

void QualitySlider::showQuality(int percent) {
    const QSignalBlocker quiet(slider_);
    slider_->setValue(percent);
    valueLabel_->setText(tr("%1%").arg(percent));
}

void QualitySlider::showMode(ConvertMode mode) {
    mode_ = mode;
    showScope();
}

void QualitySlider::showScope() {
    const AimScope scope(mode_, Preferences::instance().aim());
    QString why;
    if (!ModeTable::traits(mode_).qualityApplies)
        why = tr("PNG results are lossless: the quality setting does not apply");
    else if (scope.lossless())
        why = tr("Lossless results keep every pixel: the quality setting does not apply");
    else if (scope.kind() != Aim::Kind::Quality)
        why = tr("The file size or fidelity aimed at decides each image's quality");
    slider_->setEnabled(why.isEmpty());
    slider_->setToolTip(why.isEmpty() ? tr("Quality of the WebP or JPG results") : why);
}
