// The run as the home view drives it: output folder, progress, cancel, closing report.
#include "HomeViewController.h"

#include "BatchRun.h"
#include "JobList.h"
#include "JobTableView.h"
#include "ProductLinks.h"
#include "ProgressBar.h"
#include "RatingInvitation.h"
#include "Settings.h"
#include "SettingsKeys.h"
#include "WindowTexts.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

void HomeViewController::submit() {
    convertImage();
}

void HomeViewController::convertImage() {
    if (isRunning() || isIntakeBusy())
        return;
    const QString directory = chooseOutputDirectory ? chooseOutputDirectory(window()) : QString();
    if (directory.isEmpty())
        return;
    startButton_->setEnabled(false);
    convertError_.clear();
    RunOptions options;
    options.convertType = convertType_;
    options.ratio = ratio_;
    options.outputDirectory = directory;
    options.keepDate = keepDate_->isChecked();
    options.keepColorProfiles =
        Settings::boolValue(SettingsKeys::KeepColorProfiles, SettingsDefaults::KeepColorProfiles);
    options.keepMetadata =
        Settings::boolValue(SettingsKeys::KeepMetadata, SettingsDefaults::KeepMetadata);
    options.countRun = true;
    options.skipExisting = Settings::value(SettingsKeys::SkipExistingResults).toBool();
    if (!batchRun_->start(jobList_, options)) {
        showAlert(tr("The converted images cannot be written to %1.").arg(directory));
        return;
    }
    runDidStart();
}

void HomeViewController::cancelRun() {
    if (isRunning())
        batchRun_->cancel();
}

void HomeViewController::runDidStart() {
    const qsizetype total = jobList_->count();
    progressBar_->setMaxValue(static_cast<float>(total));
    progressBar_->setPresent(0);
    progressBar_->Label()->setText(tr("0 of %1").arg(total));
    progressBar_->show();
    cancelButton_->show();
    cancelButton_->setEnabled(true);
    statusLabel_->setText(tr("Converting…"));
    updateBusyControls();
    Q_EMIT runStarted();
}

void HomeViewController::runDidFinish(const RunReport& report) {
    progressBar_->hide();
    cancelButton_->hide();
    updateBusyControls();
    startButton_->setEnabled(true);
    QString summary = report.cancelled ? tr("Cancelled · ") : QString();
    summary += tr("%1 converted").arg(report.converted);
    if (report.failures > 0)
        summary += tr(" · %1 failed").arg(report.failures);
    if (report.skippedExisting > 0)
        summary += tr(" · %1 skipped (already exist)").arg(report.skippedExisting);
    notice_ = summary;
    updateSummary();
    Q_EMIT runFinished(report);
    const QString message = WindowTexts::closingMessage(report);
    if (!message.isEmpty())
        showAlert(message);
}

void HomeViewController::showRatingInvitation() {
    if (showRatingRequest) {
        showRatingRequest();
        return;
    }
    if (ratingInvitation_ != nullptr)
        return;
    auto* invitation = new RatingInvitation(this);
    connect(invitation, &RatingInvitation::rateRequested, this,
            [] { QDesktopServices::openUrl(QUrl(QLatin1String(ProductLinks::WebSite))); });
    ratingInvitation_ = invitation;
    homeLayout_->insertWidget(0, invitation);
}
