#pragma once
#include "BatchRun.h"
#include "IntakeRunner.h"
#include "RunReport.h"

#include <QList>
#include <QObject>
#include <QStringList>

class JobList;
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
    void setKeepDate(bool keepDate);
    void cancel();

    static constexpr qint64 RatingRequestRun = 2; // the rating invitation follows this run

Q_SIGNALS:
    void modeChanged(ConvertMode mode);
    void busyChanged(bool busy);
    void intakeFinished(const IntakeSummary& summary);
    void listLimitReached(qint64 limit);
    void runStarted();
    void progressChanged(qsizetype done, qsizetype total);
    void runFinished(const RunReport& report);
    void ratingInvitationDue();

private:
    struct PendingIntake {
        QStringList paths;
        Origin origin = Origin::Drop;
    };
    void startNextIntake();
    void finishIntake(const IntakeOutcome& outcome);
    void finishRun(const RunReport& report);
    void busyMayHaveChanged();

    JobList* jobs_;
    JobTableModel* model_;
    BatchRun* run_;
    IntakeRunner* intake_;
    QList<PendingIntake> pending_;
    ConvertMode mode_;
    bool choosingFolder_ = false;
    bool followPending_ = false;
    bool wasBusy_ = false;
};
