#pragma once
#include "BatchRun.h"
#include "CliOptions.h"
#include "InputScanner.h"
#include "OutcomeStream.h"
#include "StreamingJobs.h"

#include <QHash>
#include <QObject>

#include <optional>

// One invocation: checks the output folder, then scans, converts and reports at the same
// time: the scan feeds jobs to the shared batch run a few ahead of the tools, and each
// finished job is reported and forgotten, so memory stays flat with any number of inputs.
class ConvertCommand : public QObject {
    Q_OBJECT
public:
    explicit ConvertCommand(const CliOptions& options, QObject* parent = nullptr);

    // Does everything up to the start of the run. An exit status when nothing can run;
    // nothing when the status will come with done().
    std::optional<int> start();
    // Ctrl-C, SIGTERM or SIGHUP: stops the run like the window's Cancel.
    void interrupt();

    static constexpr int ExitConverted = 0;
    static constexpr int ExitIncomplete = 1;
    static constexpr int ExitUsage = 2;
    static constexpr int ExitInterrupted = 130;

Q_SIGNALS:
    void done(int exitStatus);

private:
    // Scans on until enough jobs wait for the tools (or the inputs run out).
    void feed();
    void scheduleFeed();
    qsizetype waitingJobs() const { return jobs_.count() - started_; }
    void takeIn(const WalkItem& item);
    // A slot in the report for the next input, in the order found; its index.
    qsizetype reserveSlot(const QString& path);
    void record(qsizetype slot, const InputOutcome& outcome);
    void onJobFinished(qsizetype row);
    void onFinished(const RunReport& report);
    int exitStatus() const;

    CliOptions options_;
    InputScanner scanner_;
    StreamingJobs jobs_;
    BatchRun run_;
    OutcomeStream outcomes_;
    QHash<qsizetype, qsizetype> slotOfJob_; // job position -> report slot
    qsizetype slots_ = 0;
    qsizetype started_ = 0;
    qsizetype finished_ = 0;
    bool feedScheduled_ = false;
    bool scanDone_ = false;
    bool interrupted_ = false;
};
