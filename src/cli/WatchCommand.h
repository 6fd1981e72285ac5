#pragma once
#include "BatchRun.h"
#include "CliOptions.h"
#include "FolderWalk.h"
#include "FolderWatcher.h"
#include "OutcomeStream.h"
#include "StreamingJobs.h"

#include <QDateTime>
#include <QObject>

#include <deque>
#include <optional>

// tessaro-convert --watch: converts what is missing in the folders, then each file that arrives
// there once it is complete, until stopped. The run's job source is never complete: arrivals
// wait as paths and become jobs a few ahead of the tools, and finished jobs are reported and
// forgotten, so memory stays flat however long the watch runs.
class WatchCommand : public QObject {
    Q_OBJECT
public:
    explicit WatchCommand(const CliOptions& options, QObject* parent = nullptr);

    // Watches the folders and starts the run. An exit status when it cannot; nothing when the
    // status will come with done().
    std::optional<int> start();
    // Ctrl-C, SIGTERM or SIGHUP: the running tools are stopped; a stopped watch did its job.
    void interrupt();

    static constexpr int ExitStopped = 0;
    // A usage error, an output folder that cannot be written, or a watched folder that is gone.
    static constexpr int ExitUsage = 2;

Q_SIGNALS:
    void done(int exitStatus);

private:
    void stop(int exitStatus);
    void onFileReady(const QString& path, const QString& subfolder);
    void scheduleFeed();
    void feed();
    // Present before the watch began: converted only when its result is missing.
    bool predatesWatch(const QString& path) const;
    void onJobFinished(qsizetype row);
    void onFinished();
    void report(const InputOutcome& outcome);
    void announce() const;

    CliOptions options_;
    FolderWatcher watcher_;
    StreamingJobs jobs_;
    BatchRun run_;
    OutcomeStream outcomes_;
    std::deque<WalkItem> arrivals_; // reported complete, not yet jobs
    QDateTime began_;
    qsizetype started_ = 0;
    int exitStatus_ = ExitStopped;
    bool stopping_ = false;
    bool feedScheduled_ = false;
    bool cutShort_ = false; // some input was left unconverted by the stop
};
