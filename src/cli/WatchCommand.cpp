#include "WatchCommand.h"

#include "ConsoleOutput.h"
#include "FileIntake.h"
#include "InputIntake.h"
#include "JobOutcome.h"
#include "RawNames.h"
#include "RunSetup.h"

#include <QDir>
#include <QFileInfo>

WatchCommand::WatchCommand(const CliOptions& options, QObject* parent)
    : QObject(parent), options_(options),
      watcher_(options.recursive ? FolderWatcher::Depth::Recursive
                                 : FolderWatcher::Depth::TopLevel),
      outcomes_(options_, OutcomeStream::Lines::Every) {
    // Only names the conversion takes: a result next to its source never is one.
    watcher_.setFileFilter([this](const QString& path) {
        return FileIntake::modeForPath(path, options_.modes).has_value();
    });
    if (!options_.run.nextToSource)
        watcher_.setExcludedFolders({options_.run.outputDirectory});
    connect(&watcher_, &FolderWatcher::fileReady, this, &WatchCommand::onFileReady);
    connect(&watcher_, &FolderWatcher::folderLost, this, [this](const QString& folder) {
        ConsoleOutput::printError(
            QStringLiteral("the watched folder %1 is gone (deleted, moved or unmounted)")
                .arg(folder));
        stop(ExitUsage);
    });
    connect(&watcher_, &FolderWatcher::subfolderNotWatched, this,
            [](const QString& folder, const QString& reason) {
                ConsoleOutput::printError(
                    QStringLiteral("cannot watch %1: %2; files arriving there are missed")
                        .arg(folder, reason));
            });
    connect(&run_, &BatchRun::jobStarted, this, [this] {
        ++started_;
        scheduleFeed();
    });
    connect(&run_, &BatchRun::jobFinished, this,
            [this](qsizetype row, bool) { onJobFinished(row); });
    connect(&run_, &BatchRun::finished, this, &WatchCommand::onFinished);
}

std::optional<int> WatchCommand::start() {
    // Taken before the first folder is watched: whatever changes later counts as an arrival.
    began_ = QDateTime::currentDateTimeUtc();
    for (const QString& argument : options_.paths) {
        QString error;
        const bool decodable = !RawNames::isUndecodable(argument);
        if (!decodable)
            error = QStringLiteral("cannot watch %1: the folder name is not valid UTF-8")
                        .arg(RawNames::shownName(argument));
        if (!decodable || !watcher_.addFolder(QDir::current().absoluteFilePath(argument),
                                              FolderWatcher::ExistingFiles::Report, &error)) {
            ConsoleOutput::printError(error);
            return ExitUsage;
        }
    }
    if (!RunSetup::start(run_, jobs_, options_))
        return ExitUsage;
    announce();
    return std::nullopt;
}

void WatchCommand::announce() const {
    if (options_.quiet)
        return;
    QStringList folders;
    for (const QString& argument : options_.paths)
        folders << QDir::cleanPath(QDir::current().absoluteFilePath(argument));
    ConsoleOutput::printError(
        QStringLiteral("watching %1%2; results go %3")
            .arg(folders.join(QStringLiteral(", ")),
                 options_.recursive ? QStringLiteral(" and their subfolders") : QString(),
                 options_.run.nextToSource
                     ? QStringLiteral("next to their sources")
                     : QStringLiteral("to %1").arg(options_.run.outputDirectory)));
}

void WatchCommand::interrupt() {
    stop(ExitStopped);
}

void WatchCommand::stop(int exitStatus) {
    if (stopping_)
        return;
    stopping_ = true;
    exitStatus_ = exitStatus;
    for (const WalkItem& item : arrivals_) {
        InputOutcome outcome;
        outcome.path = item.path;
        outcome.reason = Reason::Cancelled;
        report(outcome);
    }
    arrivals_.clear();
    jobs_.setComplete();
    run_.cancel();
}

void WatchCommand::onFileReady(const QString& path, const QString& subfolder) {
    if (stopping_)
        return;
    WalkItem item;
    item.path = path;
    item.subfolder = subfolder;
    arrivals_.push_back(std::move(item));
    scheduleFeed();
}

void WatchCommand::scheduleFeed() {
    if (feedScheduled_ || stopping_ || arrivals_.empty())
        return;
    feedScheduled_ = true;
    QMetaObject::invokeMethod(this, &WatchCommand::feed, Qt::QueuedConnection);
}

void WatchCommand::feed() {
    feedScheduled_ = false;
    // Enough waiting jobs to keep every tool busy, few enough to hold little.
    const qsizetype backlog = 2 * options_.run.maxConcurrent + 8;
    while (!stopping_ && !arrivals_.empty() && jobs_.count() - started_ < backlog) {
        const WalkItem item = std::move(arrivals_.front());
        arrivals_.pop_front();
        const bool skipExisting = options_.run.skipExisting || predatesWatch(item.path);
        std::variant<Job, InputOutcome> taken = InputIntake::take(item, options_, skipExisting);
        if (Job* job = std::get_if<Job>(&taken))
            jobs_.add(std::move(*job));
        else
            report(std::get<InputOutcome>(taken));
    }
    run_.jobsAdded();
}

bool WatchCommand::predatesWatch(const QString& path) const {
    // A file moved in keeps its modification time, but its change time is the move's.
    return QFileInfo(path).metadataChangeTime() < began_;
}

void WatchCommand::onJobFinished(qsizetype row) {
    if (!jobs_.holds(row))
        return;
    report(JobOutcome::finished(jobs_.at(row)));
    jobs_.forget(row);
    scheduleFeed();
}

void WatchCommand::report(const InputOutcome& outcome) {
    if (outcome.reason == Reason::Cancelled)
        cutShort_ = true;
    outcomes_.add(outcome);
}

void WatchCommand::onFinished() {
    // Jobs the run never took up because the watch was stopped; a new watch takes them.
    const std::map<qsizetype, Job> left = jobs_.held();
    for (const auto& [row, job] : left) {
        report(JobOutcome::notStarted(job));
        jobs_.forget(row);
    }
    outcomes_.writeClosing(cutShort_);
    Q_EMIT done(exitStatus_);
}
