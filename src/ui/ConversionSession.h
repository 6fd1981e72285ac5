#pragma once
#include "BatchRun.h"
#include "IntakeRunner.h"
#include "RunReport.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <memory>

class JobList;
class JobSubset;
class JobTableModel;

// What one intake added and left out, for the window to tell.
struct IntakeSummary {
    qsizetype added = 0;
    qsizetype skipped = 0;            // extensions, unusable names, unreadable folders
    bool onlyWrongExtensions = false; // every skip was an extension this conversion does not take
    bool oversize = false;            // some image was over the pixel limit
};

// The window's conversion work without any widget: the job list and its model, the intakes
// (queued, and held while a run or the output folder panel holds the list), the list's mode,
// the run, and the run counter with the rating decision. The home view shows it and forwards
// the user's requests; nothing here blocks the interface thread.
class ConversionSession : public QObject {
    Q_OBJECT
public:
    explicit ConversionSession(QObject* parent = nullptr);
    ~ConversionSession() override;

    JobList* jobs() const { return jobs_; }
    JobTableModel* model() const { return model_; }
    // The mode the list was collected for; it follows the stored mode while nothing is busy.
    ConvertMode mode() const { return mode_; }
    bool isRunning() const;
    bool isIntakeBusy() const;
    bool isBusy() const { return isRunning() || isIntakeBusy(); }
    bool canStart() const;
    // Paths that arrived while the list could not take them, waiting for their turn.
    qsizetype heldIntakeCount() const { return pending_.size(); }

    // Where paths come from: a drop (or files opened with the application) checks their
    // extensions; the open panel does not.
    enum class Origin { Panel, Drop };
    void add(const QStringList& paths, Origin origin);
    // Files a file manager's action asked to convert, modes being what its target takes: added
    // as files opened with the application are (they wait while the list is held), given
    // those modes, then converted at once next to their sources, without the list's other
    // files. Listed ones among the named files are converted again. Into an empty list the
    // target's first mode becomes the list's.
    void convertNextToSources(const QStringList& paths, const QList<ConvertMode>& modes);
    // False (nothing changes) while a run or an intake holds the list.
    bool clear();
    bool remove(qsizetype row);
    // The user picks a conversion in the window: stored, and a list of other files cleared.
    void chooseMode(ConvertMode mode);
    // Takes the stored mode up now, or once nothing is busy.
    void followPreferences();

    // While the output folder panel is open, arriving files wait.
    void setChoosingOutputFolder(bool choosing);
    bool isChoosingOutputFolder() const { return choosingFolder_; }
    // Converts into folder with the stored choices; false when the run cannot start.
    bool start(const QString& folder, bool keepDate);
    // The same with every result beside its source.
    bool startNextToSources(bool keepDate);
    void setKeepDate(bool keepDate);
    void cancel();

    // The running (or last) run: its jobs and how many are done.
    qsizetype runTotal() const { return runTotal_; }
    qsizetype runDone() const { return runDone_; }
    // The last run came from convertNextToSources.
    bool lastRunRequested() const { return requestedRun_; }
    // Where the last run's results are: its output folder, or beside their sources the first
    // result ("" when none was written).
    QString lastRunLocation() const { return runLocation_; }

    static constexpr qint64 RatingRequestRun = 2; // the rating invitation follows this run

Q_SIGNALS:
    void modeChanged(ConvertMode mode);
    void busyChanged(bool busy);
    void intakeFinished(const IntakeSummary& summary);
    void listLimitReached(qint64 limit);
    void runStarted();
    void progressChanged(qsizetype done, qsizetype total);
    void runFinished(const RunReport& report);
    // A requested conversion could not start (its work folder cannot be written).
    void requestNotStarted();
    void ratingInvitationDue();

private:
    struct PendingIntake {
        QStringList paths;
        Origin origin = Origin::Drop;
        QList<ConvertMode> requested; // what a requested target takes; empty for other files
    };
    void startNextIntake();
    void finishIntake(const IntakeOutcome& outcome);
    // The rows to convert for a request: those its intake added, and the listed jobs it names.
    QList<qsizetype> requestedRows(const PendingIntake& request, qsizetype firstAdded);
    RunOptions storedRunOptions() const;
    // Converts rows (all when empty) with options.
    bool startRun(const RunOptions& options, const QList<qsizetype>& rows);
    void finishRun(const RunReport& report);
    void busyMayHaveChanged();

    JobList* jobs_;
    JobTableModel* model_;
    BatchRun* run_;
    IntakeRunner* intake_;
    QList<PendingIntake> pending_;
    PendingIntake intakeRequest_; // the one the running intake takes
    std::unique_ptr<JobSubset> subset_;
    ConvertMode mode_;
    bool keepDate_ = false;
    bool requestedRun_ = false;
    bool nextToSource_ = false;
    QList<qsizetype> runRows_; // of the list; empty: the whole list
    qsizetype runTotal_ = 0;
    qsizetype runDone_ = 0;
    QString runLocation_;
    bool choosingFolder_ = false;
    bool followPending_ = false;
    bool wasBusy_ = false;
};
