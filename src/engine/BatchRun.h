#pragma once
#include "Aim.h"
#include "ConverterJob.h"
#include "JobSource.h"
#include "OutputPlacement.h"
#include "RunReport.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

#include <map>
#include <memory>

class JobList;
class QLockFile;
class QThreadPool;

struct RunOptions {
    ConvertMode mode = ConvertMode::WebpToJpg; // for jobs without a mode of their own
    int quality = 90;                          // per cent, for the modes it applies to
    QString outputDirectory;                   // absolute; where results go
    bool nextToSource = false;                 // each result goes into its source's folder instead
    bool keepDate = false;                     // give results the source's creation date as mtime
    int maxConcurrent = 5;                     // tools at once
    int toolTimeoutMs = 10 * 60 * 1000;
    QString toolsDirectory;        // "" = the bundled tools (AppPaths::toolsDirectory)
    QString workDirectory;         // "" = the Documents folder of the private home
    bool keepColorProfiles = true; // results carry their source's ICC profile
    bool keepMetadata = false;     // results carry their source's EXIF and XMP
    // A job whose result name (without a "(n)") is taken already is left alone with reason
    // AlreadyExists instead of getting a numbered name.
    bool skipExisting = false;
    Aim aim;
};

// Converts every job of a list that is not yet converted, at most maxConcurrent tools at
// once, without ever blocking the calling (interface) thread: tools run as QProcess,
// decoding and encoding in-process runs on the global thread pool. Per-job updates are
// signalled as they happen; finished() comes after all of them.
class BatchRun : public QObject {
    Q_OBJECT
public:
    explicit BatchRun(QObject* parent = nullptr);
    ~BatchRun() override;

    // Starts a run over list; false (and nothing happens) when a run is already going or
    // the output directory is missing. The list stays locked until finished().
    bool start(JobList* list, const RunOptions& options);
    // The same over any source; one that is not complete keeps the run going until it is.
    bool start(JobSource* source, const RunOptions& options);
    // The source has more jobs (or has become complete): take them up.
    void jobsAdded();
    void cancel();
    bool isRunning() const { return list_ != nullptr; }

    // Read when each result is placed, so the checkbox may change during a run.
    void setKeepDate(bool keepDate) { options_.keepDate = keepDate; }

    // Removes what killed runs left in workDirectory: only run folders this engine made,
    // and only when their lock can be taken (its owner process is gone).
    static void removeLeftovers(const QString& workDirectory);

Q_SIGNALS:
    void jobStarted(qsizetype row);
    void jobFinished(qsizetype row, bool ok);
    void progressChanged(qsizetype done, qsizetype total);
    void finished(const RunReport& report);

private:
    // Begins converting job index. Returns true when the job needs nothing (already
    // converted); otherwise the job's end is signalled by jobFinished.
    bool startJob(qsizetype index);
    // The job's own mode, or the run's for a job without one.
    ConvertMode modeOf(const Job& job) const;
    // Where the job's result goes: the output folder and the subfolder under it that mirrors
    // the source's, or the source's own folder.
    std::pair<QString, QString> placeOf(const Job& job) const;
    // With skipExisting: true (and the job marked) when the job's result name is taken.
    bool skipBecauseResultExists(qsizetype index);
    void fillSlots();
    void onJobDone(qsizetype row, const Job& job);
    void finishIfIdle();
    // Takes the lock for a new run folder in work, then makes the folder.
    bool createRunDirectory(const QString& work);
    void removeRunDirectory();

    JobSource* list_ = nullptr;
    RunOptions options_;
    QString runDirectory_;
    QString gifResizer_; // gifsicle, found when the run starts
    std::unique_ptr<QLockFile> runLock_;
    std::unique_ptr<QThreadPool> pool_; // in-process image work of this run's jobs
    OutputReservations reservations_;
    std::map<qsizetype, QString> reservedPaths_; // of the jobs converting now
    std::map<qsizetype, std::unique_ptr<ConverterJob>> active_;
    qsizetype next_ = 0;
    qsizetype done_ = 0;
    qsizetype total_ = 0;
    bool cancelling_ = false;
    RunReport report_;
};
