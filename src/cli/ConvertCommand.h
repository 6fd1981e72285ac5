#pragma once
#include "BatchRun.h"
#include "CliOptions.h"
#include "JobList.h"
#include "ProgressLine.h"
#include "RunSummary.h"

#include <QElapsedTimer>
#include <QObject>

#include <optional>

// One invocation: checks the output folder, takes the paths in through the shared intake,
// converts the jobs with the shared batch run and prints the closing report.
class ConvertCommand : public QObject {
    Q_OBJECT
public:
    explicit ConvertCommand(const CliOptions& options, QObject* parent = nullptr);

    // Does everything up to the start of the run. An exit status when there is nothing to
    // run (or it could not start); nothing when the status will come with done().
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
    // Expands and collects the paths into list_, recording every input left out.
    void takeInInputs();
    void recordSkipped(const QString& path, const QString& reason);
    void onProgress(qsizetype done, qsizetype total);
    void onFinished(const RunReport& report);
    RunOptions runOptions() const;
    int report();

    CliOptions options_;
    JobList list_;
    BatchRun run_;
    ProgressLine progress_;
    RunSummary summary_;
    QList<qsizetype> outcomeOfRow_; // job row -> index in summary_.inputs
    qsizetype lastFinishedRow_ = -1;
    QElapsedTimer clock_;
    bool interrupted_ = false;
};
