#include "RunFooter.h"

#include "HexColor.h"
#include "Theme.h"

#include <QHBoxLayout>

RunFooter::RunFooter(QWidget* parent)
    : QWidget(parent), status_(new QLabel(this)), progress_(new ProgressBar(this)),
      cancel_(new QPushButton(tr("Cancel"), this)),
      start_(new QPushButton(tr("Start Conversion"), this)) {
    status_->setObjectName(QStringLiteral("statusLabel"));
    status_->setStyleSheet(QStringLiteral("color: %1;").arg(Theme::secondaryText().name()));
    // Names and tool words in the status are shown as they are, never as markup.
    status_->setTextFormat(Qt::PlainText);
    progress_->setObjectName(QStringLiteral("progressBar"));
    progress_->setFixedWidth(Theme::em(16));
    progress_->hide();
    cancel_->setObjectName(QStringLiteral("cancelButton"));
    cancel_->hide();
    start_->setObjectName(QStringLiteral("startButton"));
    start_->setCursor(Qt::PointingHandCursor);
    start_->setMinimumHeight(Theme::em(2.2));
    start_->setEnabled(false);
    const QColor colour = colorWithHexCode(QLatin1String(Theme::StartButtonHex));
    start_->setStyleSheet(
        QStringLiteral(
            "QPushButton { background: %1; color: white; border: none; border-radius: 0.45em;"
            " padding: 0.5em 1.4em; font-weight: 600; }"
            "QPushButton:hover { background: %2; }"
            "QPushButton:pressed { background: %3; }"
            "QPushButton:disabled { background: %4; color: %5; }")
            .arg(colour.name(), colour.lighter(108).name(), colour.darker(115).name(),
                 Theme::mix(colour, Theme::window(), 0.55).name(),
                 Theme::mix(Qt::white, Theme::window(), 0.3).name()));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 0, 0);
    layout->setSpacing(Theme::em(0.75));
    layout->addWidget(status_, 1);
    layout->addWidget(progress_);
    layout->addWidget(cancel_);
    layout->addWidget(start_);

    connect(start_, &QPushButton::clicked, this, &RunFooter::startRequested);
    connect(cancel_, &QPushButton::clicked, this, &RunFooter::cancelRequested);
}

void RunFooter::showRun(bool running, qsizetype total) {
    progress_->setVisible(running);
    cancel_->setVisible(running);
    cancel_->setEnabled(running);
    if (running) {
        shownDone_ = 0;
        progress_->setProgress(0, total);
        status_->setText(tr("Converting…"));
    }
}

void RunFooter::showProgress(qsizetype done, qsizetype total) {
    if (done < shownDone_)
        return;
    shownDone_ = done;
    progress_->setProgress(done, total);
}
