#pragma once
#include "FileIntake.h"

#include <QFutureWatcher>
#include <QObject>
#include <QSet>
#include <QStringList>

// One intake as the worker sees it: everything it needs is copied in, so it never touches
// the job list or a widget.
struct IntakeRequest {
    QStringList paths; // as chosen or dropped; folders are expanded on the worker
    // The list's mode, or the modes a requested target takes (each job gets the first that
    // takes its extension).
    QList<ConvertMode> modes{ConvertMode::WebpToJpg};
    QSet<QString> existingPaths;
    qint64 room = 0;
    bool checkExtension = true;     // drops check extensions, the open panel does not
    bool includeSubfolders = false; // folders give their whole tree, not only their files
};

struct IntakeOutcome {
    bool noCandidates = false; // nothing left after expanding folders
    FileIntake::IntakeResult result;
};

// Runs the folder scans and the per-file checks (header read, size, format probe) of one
// intake on the thread pool and reports back on the interface thread.
class IntakeRunner : public QObject {
    Q_OBJECT
public:
    explicit IntakeRunner(QObject* parent = nullptr);
    ~IntakeRunner() override;

    bool isBusy() const { return busy_; }
    // False (and nothing happens) while an intake is still running.
    bool start(const IntakeRequest& request);

    static IntakeOutcome runIntake(const IntakeRequest& request);

Q_SIGNALS:
    void finished(const IntakeOutcome& outcome);
    void busyChanged(bool busy);

private:
    QFutureWatcher<IntakeOutcome> watcher_;
    bool busy_ = false;
};
