#include "BatchRun.h"

#include "AppPaths.h"
#include "ConverterJob.h"
#include "JobList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThreadPool>

namespace {

const QString RunFolderPrefix = QStringLiteral("tessaro-run-");
// A run's lock sits next to its folder and exists before the folder does and until after it
// is gone, so a cleaner never sees a run folder whose owner does not hold its lock yet.
const QString LockSuffix = QStringLiteral(".lock");

// Only names this engine gives its work files (see ConverterJob): "<row>.<role>.<ext>".
bool isOwnWorkFile(const QString& name) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\d+\.(out|copy|jpeg|upright|resized|probe\d+)\.[^.]*$)"));
    return pattern.match(name).hasMatch();
}

} // namespace

BatchRun::BatchRun(QObject* parent) : QObject(parent), pool_(std::make_unique<QThreadPool>()) {
    qRegisterMetaType<RunReport>();
    qRegisterMetaType<Job>();
}

BatchRun::~BatchRun() {
    // Pool tasks post back to their jobs: let them end before the jobs go.
    for (auto& [row, job] : active_)
        job->cancel();
    pool_->waitForDone();
    active_.clear();
    removeRunDirectory();
}

void BatchRun::removeRunDirectory() {
    if (!runDirectory_.isEmpty())
        QDir(runDirectory_).removeRecursively();
    runDirectory_.clear();
    runLock_.reset(); // only after the folder is gone
}

void BatchRun::removeLeftovers(const QString& workDirectory) {
    const QDir work(workDirectory);
    QStringList runs = work.entryList({RunFolderPrefix + u'*'}, QDir::Dirs | QDir::NoDotAndDotDot);
    // Locks whose folder is gone (or not made yet) are looked at too.
    for (QString lock : work.entryList({RunFolderPrefix + u'*' + LockSuffix}, QDir::Files)) {
        lock.chop(LockSuffix.size());
        if (!runs.contains(lock))
            runs << lock;
    }
    for (const QString& run : runs) {
        QLockFile lock(work.filePath(run + LockSuffix));
        // Only the owner's process counts, never the lock's age.
        lock.setStaleLockTime(0);
        // A live owner keeps its lock; a killed one leaves a stale lock that tryLock takes over.
        if (!lock.tryLock(0))
            continue;
        const QDir folder(work.filePath(run));
        const QStringList entries = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QString& name : entries) {
            if (isOwnWorkFile(name))
                QFile::remove(folder.filePath(name));
        }
        work.rmdir(run); // stays when someone else put a file there
    }
}

bool BatchRun::createRunDirectory(const QString& work) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString path = QDir(work).filePath(
            RunFolderPrefix +
            QString::number(QRandomGenerator::global()->generate64() % 2176782336u, 36));
        auto lock = std::make_unique<QLockFile>(path + LockSuffix);
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0)) {
            if (lock->error() == QLockFile::LockFailedError)
                continue; // that name belongs to another run
            return false;
        }
        if (!QDir().mkdir(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            continue; // a killed run's folder of that name waits for its cleaner
        runDirectory_ = path;
        runLock_ = std::move(lock);
        return true;
    }
    return false;
}

bool BatchRun::start(JobList* list, const RunOptions& options) {
    return start(static_cast<JobSource*>(list), options);
}

bool BatchRun::start(JobSource* list, const RunOptions& options) {
    if (isRunning() || !list ||
        (!options.nextToSource && !QFileInfo(options.outputDirectory).isDir()))
        return false;
    const QString work =
        options.workDirectory.isEmpty() ? AppPaths::documentsDirectory() : options.workDirectory;
    if (work.isEmpty() || !QDir().mkpath(work))
        return false;
    removeLeftovers(work);
    if (!createRunDirectory(work))
        return false;

    list_ = list;
    options_ = options;
    if (!options_.nextToSource)
        options_.outputDirectory =
            QDir::cleanPath(QFileInfo(options.outputDirectory).absoluteFilePath());
    if (options_.toolsDirectory.isEmpty())
        options_.toolsDirectory = AppPaths::toolsDirectory();
    options_.maxConcurrent = qMax(1, options.maxConcurrent);
    gifResizer_ = QStandardPaths::findExecutable(QStringLiteral("gifsicle"));
    pool_->setMaxThreadCount(qMax(options_.maxConcurrent, QThread::idealThreadCount()));
    reservations_ = OutputReservations();
    report_ = RunReport();
    next_ = 0;
    done_ = 0;
    total_ = list->count();
    cancelling_ = false;
    list_->setLocked(true);
    Q_EMIT progressChanged(0, total_);
    fillSlots();
    // An empty list (or one whose jobs are all converted) still ends as a run, after the
    // caller has returned from start().
    QMetaObject::invokeMethod(this, &BatchRun::finishIfIdle, Qt::QueuedConnection);
    return true;
}

bool BatchRun::startJob(qsizetype index) {
    Job job = list_->at(index);
    if (job.state == JobState::Converted)
        return true;
    const ConvertMode mode = modeOf(job);
    const auto [outputFolder, subfolder] = placeOf(job);
    const QString folder = OutputPlacement::resultFolder(outputFolder, subfolder);
    ConverterJob::Setup setup;
    setup.row = index;
    setup.job = job;
    setup.mode = mode;
    setup.quality = options_.quality;
    setup.aim = options_.aim;
    setup.gifResizer = gifResizer_;
    setup.toolsDirectory = options_.toolsDirectory;
    setup.workDirectory = runDirectory_;
    setup.outputFolder = outputFolder;
    setup.job.outputSubfolder = subfolder;
    setup.outputPath =
        reservations_.reserve(OutputPlacement::resultFileName(mode, job.path), folder);
    setup.timeoutMs = options_.toolTimeoutMs;
    setup.keepColorProfiles = options_.keepColorProfiles;
    setup.keepMetadata = options_.keepMetadata;
    setup.keepDate = [this] { return options_.keepDate; };
    setup.reservedElsewhere = reservations_.all();
    setup.reservedElsewhere.remove(setup.outputPath);
    setup.pool = pool_.get();
    reservedPaths_.emplace(index, setup.outputPath);
    auto converter = std::make_unique<ConverterJob>(std::move(setup));
    ConverterJob* raw = converter.get();
    connect(raw, &ConverterJob::finished, this,
            [this](qsizetype row, const Job& done) { onJobDone(row, done); });
    active_.emplace(index, std::move(converter));
    job.state = JobState::Converting;
    job.reason = Reason::None;
    list_->updateJob(index, job);
    Q_EMIT jobStarted(index);
    raw->start();
    return false;
}

std::pair<QString, QString> BatchRun::placeOf(const Job& job) const {
    if (options_.nextToSource)
        return {QFileInfo(job.path).absolutePath(), QString()};
    return {options_.outputDirectory, job.outputSubfolder};
}

ConvertMode BatchRun::modeOf(const Job& job) const {
    return job.mode.value_or(options_.mode);
}

void BatchRun::jobsAdded() {
    if (!isRunning())
        return;
    total_ = list_->count();
    fillSlots();
    finishIfIdle();
}

bool BatchRun::skipBecauseResultExists(qsizetype index) {
    if (!options_.skipExisting)
        return false;
    Job job = list_->at(index);
    if (job.state == JobState::Converted ||
        !OutputPlacement::resultExists(placeOf(job).first, placeOf(job).second, modeOf(job),
                                       job.path))
        return false;
    job.reason = Reason::AlreadyExists;
    job.detail.clear();
    list_->updateJob(index, job);
    return true;
}

void BatchRun::fillSlots() {
    while (!cancelling_ && next_ < total_ &&
           static_cast<int>(active_.size()) < options_.maxConcurrent) {
        const qsizetype row = next_++;
        if (skipBecauseResultExists(row)) {
            ++report_.skippedExisting;
            ++done_;
            Q_EMIT jobStarted(row);
            Q_EMIT jobFinished(row, false);
            Q_EMIT progressChanged(done_, total_);
            continue;
        }
        if (startJob(row)) {
            ++report_.alreadyConverted;
            ++done_;
            Q_EMIT progressChanged(done_, total_);
        }
    }
}

void BatchRun::onJobDone(qsizetype row, const Job& job) {
    auto it = active_.find(row);
    if (it == active_.end())
        return;
    // The job object is still inside its own signal: delete it later.
    it->second.release()->deleteLater();
    active_.erase(it);
    // A published result now takes its name on disk; a failed one needs none.
    if (const auto reserved = reservedPaths_.find(row); reserved != reservedPaths_.end()) {
        reservations_.release(reserved->second);
        reservedPaths_.erase(reserved);
    }

    const bool ok = job.state == JobState::Converted;
    if (ok) {
        ++report_.converted;
        report_.convertedInputBytes += job.sourceBytes;
        report_.outputBytes += job.outputBytes;
    } else if (job.reason == Reason::NotSmaller) {
        ++report_.notSmaller;
    } else if (job.reason != Reason::Cancelled) {
        report_.failedJobs.append({job.path, job.reason, job.detail});
    }
    list_->updateJob(row, job);
    ++done_;
    Q_EMIT jobFinished(row, ok);
    Q_EMIT progressChanged(done_, total_);
    fillSlots();
    finishIfIdle();
}

void BatchRun::cancel() {
    if (!isRunning() || cancelling_)
        return;
    cancelling_ = true;
    report_.cancelled = true;
    for (auto& [row, job] : active_)
        job->cancel();
    finishIfIdle();
}

void BatchRun::finishIfIdle() {
    if (!isRunning() || !active_.empty() ||
        (!cancelling_ && (next_ < total_ || !list_->isComplete())))
        return;
    JobSource* list = list_;
    list_ = nullptr;
    list->setLocked(false);
    removeRunDirectory();
    Q_EMIT finished(report_);
}
