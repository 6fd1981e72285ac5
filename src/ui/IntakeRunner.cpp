#include "IntakeRunner.h"

#include <QtConcurrent/QtConcurrentRun>

IntakeRunner::IntakeRunner(QObject* parent) : QObject(parent) {
    connect(&watcher_, &QFutureWatcherBase::finished, this, [this] {
        const IntakeOutcome outcome = watcher_.result();
        busy_ = false;
        Q_EMIT busyChanged(false);
        Q_EMIT finished(outcome);
    });
}

IntakeRunner::~IntakeRunner() {
    // The worker only reads files; let it end before its watcher goes away.
    watcher_.waitForFinished();
}

bool IntakeRunner::start(const IntakeRequest& request) {
    if (busy_)
        return false;
    busy_ = true;
    Q_EMIT busyChanged(true);
    watcher_.setFuture(QtConcurrent::run(&IntakeRunner::runIntake, request));
    return true;
}

IntakeOutcome IntakeRunner::runIntake(const IntakeRequest& request) {
    IntakeOutcome outcome;
    const FileIntake::Expansion expansion =
        FileIntake::expand(request.paths, request.modes, request.includeSubfolders);
    if (expansion.candidates.isEmpty() && expansion.skipped.isEmpty()) {
        outcome.noCandidates = true;
        return outcome;
    }
    outcome.result = FileIntake::collect(expansion.candidates, request.modes, request.existingPaths,
                                         request.room, request.checkExtension);
    FileIntake::applyExpansion(expansion, &outcome.result);
    return outcome;
}
