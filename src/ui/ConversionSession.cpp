#include "ConversionSession.h"

#include "JobList.h"
#include "JobSubset.h"
#include "JobTableModel.h"
#include "ModeTable.h"
#include "Preferences.h"

#include <QDebug>
#include <QSet>

#include <algorithm>

ConversionSession::ConversionSession(QObject* parent)
    : QObject(parent), jobs_(new JobList(this)), model_(new JobTableModel(jobs_, this)),
      run_(new BatchRun(this)), intake_(new IntakeRunner(this)),
      mode_(Preferences::instance().mode()) {
    connect(intake_, &IntakeRunner::finished, this, &ConversionSession::finishIntake);
    connect(intake_, &IntakeRunner::busyChanged, this, &ConversionSession::busyMayHaveChanged);
    connect(run_, &BatchRun::progressChanged, this, [this](qsizetype done, qsizetype total) {
        runDone_ = done;
        runTotal_ = total;
        Q_EMIT progressChanged(done, total);
    });
    connect(run_, &BatchRun::jobFinished, this, [this](qsizetype row, bool ok) {
        if (ok && nextToSource_ && runLocation_.isEmpty())
            runLocation_ = jobs_->at(runRows_.isEmpty() ? row : runRows_.at(row)).outputPath;
    });
    connect(run_, &BatchRun::finished, this, &ConversionSession::finishRun);
    connect(&Preferences::instance(), &Preferences::modeChanged, this,
            &ConversionSession::followPreferences);
}

ConversionSession::~ConversionSession() {
    pending_.clear();
}

bool ConversionSession::isRunning() const {
    return run_->isRunning();
}

bool ConversionSession::isIntakeBusy() const {
    return intake_->isBusy();
}

bool ConversionSession::canStart() const {
    return !jobs_->isEmpty() && !isBusy();
}

void ConversionSession::add(const QStringList& paths, Origin origin) {
    if (paths.isEmpty())
        return;
    pending_.append({paths, origin, {}});
    startNextIntake();
}

bool ConversionSession::clear() {
    return !isBusy() && jobs_->clear();
}

bool ConversionSession::remove(qsizetype row) {
    return jobs_->removeAt(row);
}

void ConversionSession::convertNextToSources(const QStringList& paths,
                                             const QList<ConvertMode>& modes) {
    if (paths.isEmpty() || modes.isEmpty())
        return;
    pending_.append({paths, Origin::Drop, modes});
    startNextIntake();
}

void ConversionSession::chooseMode(ConvertMode mode) {
    // Decided before storing: the store's change signal brings the list's mode along.
    const bool other = mode != mode_;
    Preferences::instance().setMode(mode);
    if (other)
        clear();
    if (mode_ != mode) {
        mode_ = mode;
        Q_EMIT modeChanged(mode_);
    }
}

void ConversionSession::followPreferences() {
    // The list being converted or filled keeps the mode it was started with.
    if (isBusy()) {
        followPending_ = true;
        return;
    }
    followPending_ = false;
    const ConvertMode stored = Preferences::instance().mode();
    if (stored != mode_) {
        mode_ = stored;
        Q_EMIT modeChanged(mode_);
    }
}

void ConversionSession::setChoosingOutputFolder(bool choosing) {
    choosingFolder_ = choosing;
    if (!choosing)
        startNextIntake(); // files that came while the panel was open
}

void ConversionSession::startNextIntake() {
    while (!intake_->isBusy() && !pending_.isEmpty()) {
        // Held, not dropped: the run's end or the panel's answer calls here again.
        if (isRunning() || choosingFolder_)
            return;
        const PendingIntake next = pending_.takeFirst();
        if (jobs_->count() >= FileIntake::ListLimit) {
            Q_EMIT listLimitReached(FileIntake::ListLimit);
            continue;
        }
        intakeRequest_ = next;
        IntakeRequest request;
        request.paths = next.paths;
        request.modes = next.requested.isEmpty() ? QList<ConvertMode>{mode_} : next.requested;
        request.existingPaths = jobs_->paths();
        request.room = FileIntake::ListLimit - jobs_->count();
        request.checkExtension = next.origin == Origin::Drop;
        request.includeSubfolders = Preferences::instance().includeSubfolders();
        intake_->start(request);
    }
}

void ConversionSession::finishIntake(const IntakeOutcome& outcome) {
    const PendingIntake request = std::exchange(intakeRequest_, {});
    const QList<ConvertMode>& requested = request.requested;
    const qsizetype firstAdded = jobs_->count();
    IntakeSummary summary;
    if (!outcome.noCandidates) {
        const FileIntake::IntakeResult& result = outcome.result;
        QList<Job> found = result.jobs;
        // The list may have changed while the worker ran: never go past the limit.
        const qint64 room = qMax<qint64>(0, FileIntake::ListLimit - jobs_->count());
        if (found.size() > room)
            found.resize(room);
        // Requested jobs keep their conversion whatever the list's mode becomes.
        for (Job& job : found)
            job.mode = requested.isEmpty() ? job.mode : job.mode.value_or(requested.first());
        if (!requested.isEmpty() && jobs_->isEmpty())
            chooseMode(requested.first());
        summary.added = jobs_->appendJobs(found);
        summary.skipped = result.skipped.size();
        summary.onlyWrongExtensions =
            std::all_of(result.skipped.cbegin(), result.skipped.cend(),
                        [](const FileIntake::SkippedPath& skipped) {
                            return skipped.reason == Reason::WrongExtension;
                        });
        summary.oversize = result.oversize;
        qInfo().noquote() << QStringLiteral("added %1 of %2 files")
                                 .arg(summary.added)
                                 .arg(result.jobs.size() + result.skipped.size() +
                                      result.oversized.size() + result.dropped.size());
        for (const FileIntake::SkippedPath& skipped : result.skipped)
            qInfo().noquote() << "skipped" << skipped.path << "-" << skipped.reason
                              << skipped.detail;
    }
    Q_EMIT intakeFinished(summary);
    if (!requested.isEmpty()) {
        const QList<qsizetype> rows = requestedRows(request, firstAdded);
        RunOptions options = storedRunOptions();
        options.mode = requested.first();
        options.nextToSource = true;
        if (!rows.isEmpty() && !startRun(options, rows))
            Q_EMIT requestNotStarted();
    }
    startNextIntake();
}

QList<qsizetype> ConversionSession::requestedRows(const PendingIntake& request,
                                                  qsizetype firstAdded) {
    const QSet<QString> named(request.paths.cbegin(), request.paths.cend());
    QList<qsizetype> rows;
    for (qsizetype row = 0; row < firstAdded; ++row) {
        Job job = jobs_->at(row);
        if (!named.contains(job.path))
            continue;
        job.mode =
            ModeTable::modeForExtension(FileIntake::pathExtension(job.path), request.requested);
        if (!job.mode)
            continue;
        job.state = JobState::Waiting;
        jobs_->updateJob(row, job);
        rows.append(row);
    }
    for (qsizetype row = firstAdded; row < jobs_->count(); ++row)
        rows.append(row);
    return rows;
}

RunOptions ConversionSession::storedRunOptions() const {
    const Preferences& preferences = Preferences::instance();
    RunOptions options;
    options.mode = mode_;
    options.quality = preferences.quality();
    options.keepDate = keepDate_;
    options.keepColorProfiles = preferences.keepColorProfiles();
    options.keepMetadata = preferences.keepMetadata();
    options.skipExisting = preferences.skipExistingResults();
    options.aim = preferences.aim();
    return options;
}

bool ConversionSession::start(const QString& folder, bool keepDate) {
    keepDate_ = keepDate;
    RunOptions options = storedRunOptions();
    options.outputDirectory = folder;
    return startRun(options, {});
}

bool ConversionSession::startNextToSources(bool keepDate) {
    keepDate_ = keepDate;
    RunOptions options = storedRunOptions();
    options.nextToSource = true;
    return startRun(options, {});
}

bool ConversionSession::startRun(const RunOptions& options, const QList<qsizetype>& rows) {
    if (isBusy())
        return false;
    runRows_ = rows;
    nextToSource_ = options.nextToSource;
    runLocation_ = nextToSource_ ? QString() : options.outputDirectory;
    requestedRun_ = !rows.isEmpty(); // only a request converts part of the list
    subset_ = rows.isEmpty() ? nullptr : std::make_unique<JobSubset>(jobs_, rows);
    const bool started =
        subset_ != nullptr ? run_->start(subset_.get(), options) : run_->start(jobs_, options);
    if (!started)
        return false;
    busyMayHaveChanged();
    Q_EMIT runStarted();
    return true;
}

void ConversionSession::setKeepDate(bool keepDate) {
    keepDate_ = keepDate;
    run_->setKeepDate(keepDate);
}

void ConversionSession::cancel() {
    if (isRunning())
        run_->cancel();
}

void ConversionSession::finishRun(const RunReport& report) {
    Preferences& preferences = Preferences::instance();
    const qint64 count = preferences.convertCount() + 1;
    preferences.setConvertCount(count);
    busyMayHaveChanged();
    Q_EMIT runFinished(report);
    if (count == RatingRequestRun)
        Q_EMIT ratingInvitationDue();
    startNextIntake(); // files that arrived during the run
}

void ConversionSession::busyMayHaveChanged() {
    const bool busy = isBusy();
    if (!busy && followPending_)
        followPreferences();
    if (busy == wasBusy_)
        return;
    wasBusy_ = busy;
    Q_EMIT busyChanged(busy);
}
