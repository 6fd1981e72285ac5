#include "BatchRun.h"

#include "AppPaths.h"
#include "ConverterJob.h"
#include "JobList.h"
#include "RunCounter.h"
#include "SizeSummary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThreadPool>

namespace {

const QString RunFolderPrefix = QStringLiteral("tessaro-run-");
const QString LockFileName = QStringLiteral(".lock");

// Only names this engine gives its work files: "<row>-<base>_output.<ext>[.jpeg]" and
// "<row>-<base>_documents.<ext>", plus the run's lock file.
bool isOwnWorkFile(const QString& name) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^(\d+-.*_(output|documents)\..*|\.lock(\.rmlock)?)$)"));
    return pattern.match(name).hasMatch();
}

// dwebp's own words when it is handed an animated file.
bool saysAnimatedWebp(const std::optional<QString>& errorOutput) {
    return errorOutput &&
           errorOutput->contains(QLatin1String("animated WebP"), Qt::CaseInsensitive);
}

RunFailure failureOf(const ConverterJob::Outcome& outcome) {
    RunFailure failure;
    failure.path = outcome.job.url;
    failure.reason = outcome.job.errorText;
    if (saysAnimatedWebp(outcome.convertError))
        failure.kind = RunFailure::Kind::AnimatedWebp;
    else if (outcome.silentToolFailure)
        failure.kind = RunFailure::Kind::SilentTool;
    return failure;
}

} // namespace

BatchRun::BatchRun(QObject* parent) : QObject(parent), pool_(std::make_unique<QThreadPool>()) {
    qRegisterMetaType<RunReport>();
}

BatchRun::~BatchRun() {
    // Pool tasks post back to their jobs: let them end before the jobs go.
    for (auto& [row, job] : active_)
        job->cancel();
    pool_->waitForDone();
    active_.clear();
    if (!runDirectory_.isEmpty())
        QDir(runDirectory_).removeRecursively();
}

void BatchRun::removeLeftovers(const QString& workDirectory) {
    const QDir work(workDirectory);
    const QStringList runs =
        work.entryList({RunFolderPrefix + u'*'}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& run : runs) {
        const QDir folder(work.filePath(run));
        QLockFile lock(folder.filePath(LockFileName));
        // A live owner keeps its lock; a killed one leaves a stale lock that tryLock takes over.
        if (!lock.tryLock(0))
            continue;
        const QStringList entries = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QString& name : entries) {
            if (isOwnWorkFile(name) && name != LockFileName)
                QFile::remove(folder.filePath(name));
        }
        lock.unlock();
        work.rmdir(run); // stays when someone else put a file there
    }
}

bool BatchRun::start(JobList* list, const RunOptions& options) {
    if (isRunning() || !list || !QFileInfo(options.outputDirectory).isDir())
        return false;
    const QString work =
        options.workDirectory.isEmpty() ? AppPaths::documentsDirectory() : options.workDirectory;
    if (work.isEmpty() || !QDir().mkpath(work))
        return false;
    removeLeftovers(work);
    QTemporaryDir runDir(QDir(work).filePath(RunFolderPrefix + QStringLiteral("XXXXXX")));
    if (!runDir.isValid())
        return false;
    runDir.setAutoRemove(false);
    runDirectory_ = runDir.path();
    runLock_ = std::make_unique<QLockFile>(QDir(runDirectory_).filePath(LockFileName));
    runLock_->setStaleLockTime(0);
    runLock_->tryLock(0);

    list_ = list;
    options_ = options;
    options_.outputDirectory =
        QDir::cleanPath(QFileInfo(options.outputDirectory).absoluteFilePath());
    if (options_.toolsDirectory.isEmpty())
        options_.toolsDirectory = AppPaths::toolsDirectory();
    options_.maxConcurrent = qMax(1, options.maxConcurrent);
    pool_->setMaxThreadCount(qMax(options_.maxConcurrent, QThread::idealThreadCount()));
    reservations_ = OutputReservations();
    report_ = RunReport();
    next_ = 0;
    done_ = 0;
    total_ = list->count();
    cancelling_ = false;
    // The error text of the run starts empty.
    convertError_.clear();
    list_->setLocked(true);
    Q_EMIT progressChanged(0, total_);
    fillSlots();
    // An empty list (or one whose jobs are all converted) still ends as a run, after the
    // caller has returned from start().
    QMetaObject::invokeMethod(this, &BatchRun::finishIfIdle, Qt::QueuedConnection);
    return true;
}

bool BatchRun::startConverter(qint64 index, const QString& homePath) {
    PicModel job = list_->at(index);
    if (job.completed == JobState::Converted)
        return true;
    const qint64 mode = job.mode >= 0 ? job.mode : options_.convertType;
    const QString finalName = finalOutputName(mode, OutputPlacement::baseName(job.url));
    ConverterJob::Setup setup;
    setup.row = index;
    setup.job = job;
    setup.mode = mode;
    setup.ratio = options_.ratio;
    setup.toolsDirectory = options_.toolsDirectory;
    setup.workDirectory = runDirectory_;
    setup.outputPath = finalName.isEmpty() ? QString() : reservations_.reserve(finalName, homePath);
    setup.timeoutMs = options_.toolTimeoutMs;
    setup.losslessCopies = options_.losslessCopies;
    setup.reservedElsewhere = reservations_.all();
    setup.reservedElsewhere.remove(setup.outputPath);
    setup.pool = pool_.get();
    auto converter = std::make_unique<ConverterJob>(std::move(setup));
    ConverterJob* raw = converter.get();
    connect(
        raw, &ConverterJob::finished, this,
        [this](qsizetype row, const ConverterJob::Outcome& outcome) { onJobDone(row, outcome); });
    active_.emplace(index, std::move(converter));
    job.completed = JobState::Converting;
    list_->updateJob(index, job);
    Q_EMIT jobStarted(index);
    raw->start();
    return false;
}

void BatchRun::fillSlots() {
    while (!cancelling_ && next_ < total_ &&
           static_cast<int>(active_.size()) < options_.maxConcurrent) {
        const qsizetype row = next_++;
        if (startConverter(row, options_.outputDirectory)) {
            ++report_.alreadyConverted;
            ++done_;
            Q_EMIT progressChanged(done_, total_);
        }
    }
}

void BatchRun::onJobDone(qsizetype row, const ConverterJob::Outcome& outcome) {
    auto it = active_.find(row);
    if (it == active_.end())
        return;
    // The job object is still inside its own signal: delete it later.
    it->second.release()->deleteLater();
    active_.erase(it);

    PicModel job = outcome.job;
    if (outcome.ok) {
        ++report_.converted;
        report_.convertedInputBytes += SizeSummary::bytesOf(job);
        report_.outputBytes += job.outputBytes;
        if (options_.keepDate)
            OutputPlacement::applyDateStep(outcome.creationDate, job.outputPath);
    } else if (!outcome.cancelled) {
        ++report_.failures;
        report_.failed = true;
        report_.failedJobs.append(failureOf(outcome));
    }
    list_->updateJob(row, job);
    if (outcome.convertError) {
        convertError_ = *outcome.convertError;
        Q_EMIT convertErrorChanged(convertError_);
    }
    ++done_;
    Q_EMIT jobFinished(row, outcome.ok);
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
    if (!isRunning() || !active_.empty() || (!cancelling_ && next_ < total_))
        return;
    JobList* list = list_;
    list_ = nullptr;
    list->setLocked(false);
    runLock_.reset();
    QDir(runDirectory_).removeRecursively();
    runDirectory_.clear();
    report_.convertError = convertError_;
    if (options_.countRun) {
        report_.convertCount = RunCounter::countFinishedRun();
        if (report_.convertCount == RunCounter::RatingRequestRun && ratingHook_)
            ratingHook_();
    }
    Q_EMIT finished(report_);
}
