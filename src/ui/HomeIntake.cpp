// Intake actions of the home view: open panels, drops and files opened with the application.
#include "HomeViewController.h"

#include "FileIntake.h"
#include "IntakeRunner.h"
#include "JobList.h"
#include "JobTableView.h"
#include "Settings.h"
#include "SettingsKeys.h"
#include "WindowTexts.h"

#include <QDebug>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

void HomeViewController::resetUploadCount() {
    uploadCount_ = FileIntake::UploadCount;
}

QStringList HomeViewController::getDirFileWithExtType(qint64 mode, const QString& dir) {
    return FileIntake::getDirFileWithExtType(mode, dir);
}

bool HomeViewController::isDirectory(const QString& path) {
    return FileIntake::isDirectory(path);
}

qint64 HomeViewController::fileSizeAtPath(const QString& path) {
    return FileIntake::fileSizeAtPath(path);
}

void HomeViewController::addFile() {
    if (isRunning()) {
        refuseWhileRunning();
        return;
    }
    const QStringList chosen =
        chooseFiles ? chooseFiles(window(), FileIntake::openPanelFileTypes(convertType_))
                    : QStringList();
    if (chosen.isEmpty()) {
        tableView_->viewport()->update();
        checkAgreeSubmit();
        return;
    }
    enqueueIntake(chosen, false);
}

void HomeViewController::addFolder() {
    if (isRunning()) {
        refuseWhileRunning();
        return;
    }
    const QString folder = chooseFolder ? chooseFolder(window()) : QString();
    if (folder.isEmpty()) {
        checkAgreeSubmit();
        return;
    }
    enqueueIntake({folder}, false);
}

void HomeViewController::dragDropViewFileList(const QStringList& paths) {
    if (isRunning()) {
        refuseWhileRunning();
        return;
    }
    enqueueIntake(paths, true);
}

void HomeViewController::dockDragFile(const QVariant& object) {
    // Files opened with the application cannot be offered again: while the list is held
    // (a run, the output folder panel) they wait and are added afterwards.
    const QStringList paths = object.toStringList();
    if (!paths.isEmpty())
        enqueueIntake(paths, true);
}

void HomeViewController::clearFile() {
    if (!startButton_->isEnabled())
        return;
    if (!jobList_->clear()) {
        refuseWhileRunning();
        return;
    }
    notice_.clear();
    checkAgreeSubmit();
    updateSummary();
}

void HomeViewController::enqueueIntake(const QStringList& paths, bool fromDrop) {
    pendingIntakes_.append({paths, fromDrop});
    startNextIntake();
}

void HomeViewController::startNextIntake() {
    while (!intakeRunner_->isBusy() && !pendingIntakes_.isEmpty()) {
        // Held, not dropped: the run's end or the panel's answer calls here again.
        if (isRunning() || choosingFolder_)
            return;
        const PendingIntake next = pendingIntakes_.takeFirst();
        if (jobList_->count() >= uploadCount_) {
            showAlert(WindowTexts::uploadLimitMessage(uploadCount_));
            continue;
        }
        IntakeRequest request;
        request.paths = next.paths;
        request.mode = convertType_;
        request.existingPaths =
            QSet<QString>(jobList_->pathArr().cbegin(), jobList_->pathArr().cend());
        request.room = uploadCount_ - jobList_->count();
        request.checkExtension = next.fromDrop;
        request.includeSubfolders = Settings::value(SettingsKeys::IncludeSubfolders).toBool();
        intakeRunner_->start(request);
    }
}

void HomeViewController::finishIntake(const IntakeOutcome& outcome) {
    if (!outcome.noCandidates) {
        const FileIntake::IntakeResult& result = outcome.result;
        QList<PicModel> jobs = result.jobs;
        // The list may have changed while the worker ran: never go past the limit.
        const qint64 room = qMax<qint64>(0, uploadCount_ - jobList_->count());
        if (jobs.size() > room)
            jobs.resize(room);
        const qsizetype added = jobList_->appendJobs(jobs);
        qInfo().noquote() << QStringLiteral("added %1 of %2 files")
                                 .arg(added)
                                 .arg(result.jobs.size() + result.skipped.size() +
                                      result.oversized.size() + result.dropped.size());
        for (const FileIntake::SkippedPath& skipped : result.skipped)
            qInfo().noquote() << "skipped" << skipped.path << "-" << skipped.reason;
        const bool onlyExtensions = std::all_of(
            result.skipped.cbegin(), result.skipped.cend(),
            [](const FileIntake::SkippedPath& skipped) { return skipped.wrongExtension; });
        notice_ = result.skipped.isEmpty() ? QString()
                  : onlyExtensions
                      ? tr("%1 skipped (not taken by this conversion)").arg(result.skipped.size())
                      : tr("%1 skipped (see the log for why)").arg(result.skipped.size());
        tableView_->viewport()->update();
        checkAgreeSubmit();
        updateSummary();
        if (result.oversize)
            showAlert(WindowTexts::oversizeMessage());
    }
    Q_EMIT intakeFinished();
    startNextIntake();
}
