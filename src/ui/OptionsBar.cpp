#include "OptionsBar.h"

#include "AimScope.h"
#include "Preferences.h"
#include "Theme.h"
#include "ToolbarIcons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

QLabel* captionLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setStyleSheet(
        QStringLiteral("color: %1; font-weight: 600;").arg(Theme::secondaryText().name()));
    return label;
}

} // namespace

QString cardStyle(const QString& objectName) {
    return QStringLiteral("#%1 { background: %2; border: 1px solid %3; border-radius: 0.75em; }")
        .arg(objectName, Theme::surface().name(), Theme::separator().name());
}

OptionsBar::OptionsBar(QWidget* parent)
    : QFrame(parent), modeBox_(new ModeBox(this)), quality_(new QualitySlider(this)),
      keepDate_(new QCheckBox(tr("Keep original dates"), this)), presetBox_(new PresetBox(this)),
      optionsButton_(new QPushButton(ToolbarIcons::options(), tr("Options…"), this)),
      aimLine_(new QLabel(this)) {
    setObjectName(QStringLiteral("optionsBar"));
    setStyleSheet(cardStyle(objectName()));
    modeBox_->setObjectName(QStringLiteral("modeBox"));
    modeBox_->setMinimumWidth(Theme::em(10.5));
    quality_->slider()->setFixedWidth(Theme::em(10.5));
    keepDate_->setObjectName(QStringLiteral("keepDate"));
    keepDate_->setToolTip(tr("Give each converted file its source file's creation date"));
    optionsButton_->setObjectName(QStringLiteral("optionsButton"));
    optionsButton_->setFlat(true);
    aimLine_->setObjectName(QStringLiteral("aimLine"));
    aimLine_->setTextFormat(Qt::PlainText);
    aimLine_->setStyleSheet(QStringLiteral("color: %1;").arg(Theme::secondaryText().name()));
    aimLine_->hide();

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(Theme::em(1), Theme::em(0.6), Theme::em(0.75), Theme::em(0.6));
    column->setSpacing(Theme::em(0.3));
    auto* layout = new QHBoxLayout;
    column->addLayout(layout);
    column->addWidget(aimLine_);
    layout->setSpacing(Theme::em(0.6));
    layout->addWidget(captionLabel(tr("Convert"), this));
    layout->addWidget(modeBox_);
    layout->addSpacing(Theme::em(1.1));
    layout->addWidget(captionLabel(tr("Quality"), this));
    layout->addWidget(quality_);
    layout->addSpacing(Theme::em(1.1));
    layout->addWidget(keepDate_);
    layout->addSpacing(Theme::em(1.1));
    layout->addWidget(presetBox_);
    layout->addStretch(1);
    layout->addWidget(optionsButton_);

    connect(modeBox_, &ModeBox::modeChosen, this, &OptionsBar::modeChosen);
    connect(optionsButton_, &QPushButton::clicked, this, &OptionsBar::optionsRequested);
    connect(keepDate_, &QCheckBox::toggled, this, &OptionsBar::keepDateToggled);
    connect(&Preferences::instance(), &Preferences::aimChanged, this, &OptionsBar::showAim);
}

void OptionsBar::showMode(ConvertMode mode) {
    mode_ = mode;
    modeBox_->showMode(mode);
    quality_->showMode(mode);
    showAim();
}

void OptionsBar::showAim() {
    const QString text = AimScope(mode_, Preferences::instance().aim()).summary();
    aimLine_->setText(text);
    aimLine_->setVisible(!text.isEmpty());
}

void OptionsBar::setBusy(bool busy) {
    modeBox_->setEnabled(!busy);
    presetBox_->setEnabled(!busy);
    optionsButton_->setEnabled(!busy);
}
