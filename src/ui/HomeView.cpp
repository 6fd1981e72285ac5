#include "HomeView.h"

#include "AlertSheet.h"
#include "AppPaths.h"
#include "CompareLauncher.h"
#include "ControlDescriptions.h"
#include "FileIntake.h"
#include "HomeKeyboard.h"
#include "InfoWindow.h"
#include "JobList.h"
#include "JobTableModel.h"
#include "ModeTable.h"
#include "Preferences.h"
#include "ProductLinks.h"
#include "RatingInvitation.h"
#include "ReasonText.h"
#include "SizeSummary.h"
#include "Theme.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>

namespace {

QStringList openPanel(QWidget* parent, const QStringList& fileTypes) {
    QStringList patterns;
    for (const QString& type : fileTypes)
        patterns.append(QStringLiteral("*.") + type);
    // Other file types stay choosable, as the filter list's second entry.
    const QString filter = HomeView::tr("Images (%1);;All files (*)").arg(patterns.join(u' '));
    return QFileDialog::getOpenFileNames(parent, HomeView::tr("Add Files"), QString(), filter);
}

QString folderPanel(QWidget* parent) {
    return QFileDialog::getExistingDirectory(parent, HomeView::tr("Add Folder"));
}

void outputPanel(QWidget* parent, const HomeView::FolderReply& reply) {
    auto* panel = new QFileDialog(parent, QString());
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setWindowModality(Qt::WindowModal);
    panel->setFileMode(QFileDialog::Directory);
    panel->setOption(QFileDialog::ShowDirsOnly, true);
    panel->setLabelText(QFileDialog::Accept, HomeView::tr("OK"));
    panel->setWindowTitle(HomeView::tr("Choose the folder for the converted images"));
    QObject::connect(panel, &QDialog::finished, panel, [panel, reply](int result) {
        const QStringList chosen = panel->selectedFiles();
        reply(result == QDialog::Accepted && !chosen.isEmpty() ? chosen.constFirst() : QString());
    });
    panel->open();
}

QString workFolderProblem() {
    return HomeView::tr("The conversion cannot start: its work folder %1 cannot be written.")
        .arg(AppPaths::documentsDirectory());
}

} // namespace

HomeView::HomeView(QWidget* parent)
    : QWidget(parent), session_(new ConversionSession(this)), layout_(new QVBoxLayout(this)),
      dropView_(new DragDropView(this)), optionsBar_(new OptionsBar(this)),
      footer_(new RunFooter(this)) {
    setObjectName(QStringLiteral("homeView"));
    chooseFiles = openPanel;
    chooseFolder = folderPanel;
    chooseOutputDirectory = outputPanel;
    openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    showFile = [this](const QString& file) {
        if (openUrl)
            openUrl(QUrl::fromLocalFile(QFileInfo(file).absolutePath()));
    };

    const int margin = Theme::margin();
    layout_->setContentsMargins(margin, margin, margin, margin);
    layout_->setSpacing(Theme::em(0.75));
    dropView_->setObjectName(QStringLiteral("dropView"));
    auto* card = new QFrame(dropView_);
    card->setObjectName(QStringLiteral("tableCard"));
    card->setStyleSheet(cardStyle(card->objectName()));
    tableView_ = new JobTableView(session_->model(), card);
    tableView_->setObjectName(QStringLiteral("tableView"));
    auto* cardLayout = new QVBoxLayout(card);
    cardLayout->setContentsMargins(4, 6, 4, 6);
    cardLayout->addWidget(tableView_);
    auto* dropLayout = new QVBoxLayout(dropView_);
    dropLayout->setContentsMargins(0, 0, 0, 0);
    dropLayout->addWidget(card);
    layout_->addWidget(dropView_, 1);
    layout_->addWidget(optionsBar_);
    layout_->addWidget(footer_);
    dropView_->setDelegate(this);
    optionsBar_->showMode(session_->mode());

    connect(tableView_, &JobTableView::deleteRequested, this, &HomeView::removeJob);
    connect(tableView_, &JobTableView::showInFolderRequested, this, &HomeView::showInFolder);
    connect(dropView_, &DragDropView::dragHoverChanged, tableView_,
            &JobTableView::setDropHighlight);
    connect(optionsBar_, &OptionsBar::modeChosen, session_, &ConversionSession::chooseMode);
    connect(optionsBar_, &OptionsBar::optionsRequested, this, &HomeView::showOptions);
    connect(optionsBar_, &OptionsBar::keepDateToggled, session_, &ConversionSession::setKeepDate);
    PresetBox* presets = optionsBar_->presetBox();
    connect(presets, &PresetBox::presetChosen, this, &HomeView::applyPreset);
    connect(presets, &PresetBox::problem, this, &HomeView::showAlert);
    connect(footer_, &RunFooter::startRequested, this, &HomeView::startConversion);
    connect(footer_, &RunFooter::cancelRequested, this, &HomeView::cancelRun);

    connect(session_, &ConversionSession::modeChanged, optionsBar_, &OptionsBar::showMode);
    connect(session_, &ConversionSession::busyChanged, this, &HomeView::showBusy);
    connect(session_, &ConversionSession::intakeFinished, this, &HomeView::intakeDone);
    connect(session_, &ConversionSession::listLimitReached, this,
            [this](qint64 limit) { showAlert(FileIntake::listLimitMessage(limit)); });
    connect(session_, &ConversionSession::progressChanged, footer_, &RunFooter::showProgress);
    connect(session_, &ConversionSession::runStarted, this, &HomeView::showRunStarted);
    connect(session_, &ConversionSession::runFinished, this, &HomeView::runDone);
    connect(session_, &ConversionSession::requestNotStarted, this,
            [this] { showAlert(workFolderProblem()); });
    connect(session_, &ConversionSession::ratingInvitationDue, this,
            &HomeView::showRatingInvitation);
    JobList* jobs = session_->jobs();
    connect(jobs, &JobList::appended, this, &HomeView::showSummary);
    connect(jobs, &JobList::removed, this, &HomeView::showSummary);
    connect(jobs, &JobList::cleared, this, &HomeView::showSummary);
    showSummary();

    comparison_ = new CompareLauncher(tableView_, session_->model(), this);
    new HomeKeyboard(this);
    ControlDescriptions::describeHome(this);
    presets->reload(); // a presets file with an error is told now
}

void HomeView::addFiles() {
    if (session_->isRunning()) {
        refuseWhileRunning();
        return;
    }
    const QStringList chosen =
        chooseFiles ? chooseFiles(window(), ModeTable::panelFileTypes(session_->mode()))
                    : QStringList();
    session_->add(chosen, ConversionSession::Origin::Panel);
}

void HomeView::addFolder() {
    if (session_->isRunning()) {
        refuseWhileRunning();
        return;
    }
    const QString folder = chooseFolder ? chooseFolder(window()) : QString();
    if (!folder.isEmpty())
        session_->add({folder}, ConversionSession::Origin::Panel);
}

void HomeView::dragDropViewFileList(const QStringList& paths) {
    if (session_->isRunning()) {
        refuseWhileRunning();
        return;
    }
    session_->add(paths, ConversionSession::Origin::Drop);
}

void HomeView::openFiles(const QStringList& paths) {
    // Files opened with the application cannot be offered again: while the list is held
    // (a run, the output folder panel) they wait and are added afterwards.
    session_->add(paths, ConversionSession::Origin::Drop);
}

void HomeView::convertFiles(const QStringList& paths, const QString& target) {
    session_->convertNextToSources(paths, ModeTable::modesForTarget(target));
}

void HomeView::clearList() {
    // Clearing follows the start button: nothing to clear while it is off.
    if (!footer_->startButton()->isEnabled())
        return;
    if (!session_->clear()) {
        refuseWhileRunning();
        return;
    }
    notice_.clear();
    footer_->startButton()->setEnabled(session_->canStart());
    showSummary();
}

void HomeView::removeJob(qsizetype row) {
    if (!session_->remove(row)) {
        refuseWhileRunning();
        return;
    }
    footer_->startButton()->setEnabled(session_->canStart());
}

void HomeView::showInFolder(qsizetype row) {
    const Job* job = session_->model()->job(static_cast<int>(row));
    if (job != nullptr && !job->outputPath.isEmpty() && showFile)
        showFile(job->outputPath);
}

void HomeView::showOptions() {
    if (session_->isBusy())
        return;
    if (optionsWindow_ != nullptr)
        optionsWindow_->deleteLater();
    optionsWindow_ = new OptionsWindow(window());
    connect(optionsWindow_, &QDialog::finished, this, &HomeView::optionsClosed);
    // Modal to the window, without a nested event loop.
    optionsWindow_->open();
}

void HomeView::showInfo() {
    InfoWindow dialog(window());
    dialog.exec();
}

void HomeView::refreshOptions() {
    session_->followPreferences();
    optionsBar_->showMode(session_->mode());
}

void HomeView::startConversion() {
    if (session_->isBusy() || session_->isChoosingOutputFolder())
        return;
    const Preferences& preferences = Preferences::instance();
    const QString folder = preferences.resultsFolder();
    switch (preferences.saveResults()) {
    case SaveResults::NextToSource:
        if (!session_->startNextToSources(optionsBar_->keepDate()->isChecked()))
            showAlert(workFolderProblem());
        return;
    case SaveResults::Folder:
        if (!folder.isEmpty())
            return startInto(folder);
        break; // nothing stored: ask
    case SaveResults::Ask:
        break;
    }
    if (!chooseOutputDirectory)
        return;
    session_->setChoosingOutputFolder(true);
    QPointer<HomeView> self(this);
    chooseOutputDirectory(window(), [self](const QString& directory) {
        if (self != nullptr)
            self->outputFolderChosen(directory);
    });
}

void HomeView::outputFolderChosen(const QString& directory) {
    if (!session_->isChoosingOutputFolder())
        return;
    if (directory.isEmpty() || session_->isBusy()) {
        session_->setChoosingOutputFolder(false);
        return;
    }
    // The panel's hold ends with the run's start, so nothing slips in between.
    startInto(directory);
    session_->setChoosingOutputFolder(false);
}

void HomeView::startInto(const QString& folder) {
    if (!session_->start(folder, optionsBar_->keepDate()->isChecked()))
        showAlert(tr("The converted images cannot be written to %1.").arg(folder));
}

void HomeView::showRunStarted() {
    footer_->startButton()->setEnabled(false);
    footer_->showRun(true, session_->runTotal());
    footer_->showProgress(session_->runDone(), session_->runTotal());
}

void HomeView::applyPreset(const Preset& preset) {
    if (session_->isBusy())
        return;
    // As the bar's conversion box does: a list of other files is cleared.
    if (preset.mode)
        session_->chooseMode(*preset.mode);
    preset.applyToPreferences();
    refreshOptions();
}

void HomeView::cancelRun() {
    session_->cancel();
}

void HomeView::showAlert(const QString& message) {
    showAlertBox(AlertSheet::show(window(), message), message);
}

void HomeView::showAlertBox(QMessageBox* box, const QString& message) {
    lastAlert_ = box;
    if (!session_->isBusy())
        footer_->startButton()->setEnabled(true);
    Q_EMIT alertShown(message);
}

void HomeView::intakeDone(const IntakeSummary& summary) {
    notice_ = summary.skipped == 0 ? QString()
              : summary.onlyWrongExtensions
                  ? tr("%1 skipped (not taken by this conversion)").arg(summary.skipped)
                  : tr("%1 skipped (see the log for why)").arg(summary.skipped);
    tableView_->viewport()->update();
    footer_->startButton()->setEnabled(session_->canStart());
    showSummary();
    if (summary.oversize)
        showAlert(reasonText(Reason::Oversize));
}

void HomeView::runDone(const RunReport& report) {
    footer_->showRun(false);
    QString summary = report.cancelled ? tr("Cancelled · ") : QString();
    summary += tr("%1 converted").arg(report.converted);
    if (report.converted > 0)
        summary += QStringLiteral(" · ") +
                   SizeSummary::totalsText(report.convertedInputBytes, report.outputBytes);
    if (report.failed())
        summary += tr(" · %1 failed").arg(report.failedJobs.size());
    if (report.skippedExisting > 0)
        summary += tr(" · %1 skipped (already exist)").arg(report.skippedExisting);
    if (report.notSmaller > 0)
        summary += tr(" · %1 not smaller (sources kept)").arg(report.notSmaller);
    notice_ = summary;
    showSummary();
    footer_->startButton()->setEnabled(true);
    const ClosingReport closing = closingReport(report);
    if (closing.text.isEmpty())
        return;
    const QMessageBox::Icon icon = closing.icon == ClosingReport::Icon::Warning
                                       ? QMessageBox::Warning
                                       : QMessageBox::Information;
    showAlertBox(AlertSheet::show(window(), closing.text, icon, closing.title), closing.text);
}

void HomeView::showRatingInvitation() {
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
    layout_->insertWidget(0, invitation);
}

void HomeView::showBusy(bool busy) {
    const bool running = session_->isRunning();
    optionsBar_->setBusy(busy);
    if (optionsWindow_ != nullptr)
        optionsWindow_->modeBox()->setEnabled(!busy);
    dropView_->setAcceptDrops(!running);
    tableView_->setDeleteEnabled(!running);
    footer_->startButton()->setEnabled(session_->canStart());
    if (session_->isIntakeBusy())
        footer_->setStatus(tr("Adding files…"));
    else if (!running)
        showSummary();
    if (!busy)
        refreshOptions();
    Q_EMIT optionsAvailableChanged(!busy);
    Q_EMIT busyChanged(busy);
}

void HomeView::showSummary() {
    if (session_->isBusy())
        return;
    const qsizetype count = session_->jobs()->count();
    if (count == 0) {
        footer_->setStatus(notice_.isEmpty() ? tr("No files yet") : notice_);
        return;
    }
    qint64 total = 0;
    for (const Job& job : session_->jobs()->jobs())
        total += job.sourceBytes;
    QString text = tr("%1 %2 · %3")
                       .arg(count)
                       .arg(count == 1 ? tr("file") : tr("files"), SizeSummary::humanBytes(total));
    if (!notice_.isEmpty())
        text += QStringLiteral(" · ") + notice_;
    footer_->setStatus(text);
}

void HomeView::refuseWhileRunning() {
    if (session_->isRunning())
        footer_->setStatus(tr("The list cannot change while images are being converted."));
}
