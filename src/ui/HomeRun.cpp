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
#include "SizeSummary.h"
#include "WindowTexts.h"

#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

void HomeViewController::submit() {
    convertImage();
}

void HomeViewController::convertImage() {
    if (isRunning() || isIntakeBusy() || choosingFolder_ || !chooseOutputDirectory)
        return;
    choosingFolder_ = true;
    QPointer<HomeViewController> self(this);
    chooseOutputDirectory(window(), [self](const QString& directory) {
        if (self != nullptr)
            self->outputFolderChosen(directory);
    });
}

void HomeViewController::outputFolderChosen(const QString& directory) {
    if (!choosingFolder_)
        return;
    choosingFolder_ = false;
    if (directory.isEmpty() || isRunning() || isIntakeBusy()) {
        startNextIntake(); // files that came while the panel was open
        return;
    }
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
    progressShown_ = 0;
    progressBar_->setMaxValue(static_cast<float>(jobList_->count()));
    progressBar_->setPresent(0);
    progressBar_->Label()->setText(tr("0 of %1").arg(jobList_->count()));
    if (!batchRun_->start(jobList_, options)) {
        showAlert(tr("The converted images cannot be written to %1.").arg(directory));
        startNextIntake();
        return;
    }
    runDidStart();
}

void HomeViewController::showProgress(qsizetype done, qsizetype total) {
    if (done < progressShown_)
        return;
    progressShown_ = done;
    progressBar_->setMaxValue(static_cast<float>(total));
    progressBar_->setPresent(done);
    progressBar_->Label()->setText(tr("%1 of %2").arg(done).arg(total));
}

void HomeViewController::cancelRun() {
    if (isRunning())
        batchRun_->cancel();
}

void HomeViewController::runDidStart() {
    // The start already reported the jobs converted before; the label stays where it is.
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
    if (report.converted > 0)
        summary += QStringLiteral(" · ") +
                   SizeSummary::totalsText(report.convertedInputBytes, report.outputBytes);
    if (report.failures > 0)
        summary += tr(" · %1 failed").arg(report.failures);
    if (report.skippedExisting > 0)
        summary += tr(" · %1 skipped (already exist)").arg(report.skippedExisting);
    notice_ = summary;
    updateSummary();
    Q_EMIT runFinished(report);
    const ClosingReport closing = WindowTexts::closingReport(report);
    if (!closing.text.isEmpty())
        showClosingReport(closing);
    startNextIntake(); // files that arrived during the run
}

void HomeViewController::showRatingInvitation() {
    if (showRatingRequest) {
        showRatingRequest();
        return;
    }
    if (ratingInvitation_ != nullptr)
        return;
    auto* invitation = new RatingInvitation(this);
    connect(invitation, &RatingInvitation::rateRequested, this, [this] {
        if (openUrl)
            openUrl(QUrl(QLatin1String(ProductLinks::WebSite)));
    });
    ratingInvitation_ = invitation;
    homeLayout_->insertWidget(0, invitation);
}
