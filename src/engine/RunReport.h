#pragma once
#include "Vocabulary.h"

#include <QList>
#include <QMetaType>
#include <QString>
#include <QtGlobal>

// One job of a run that ended without a written result.
struct RunFailure {
    QString path; // the source file
    Reason reason = Reason::ToolFailed;
    QString detail; // names the file; may be empty
};

// What a finished batch run tells its front end.
struct RunReport {
    bool cancelled = false;         // the run was stopped by cancel()
    qsizetype converted = 0;        // jobs converted by this run
    qsizetype alreadyConverted = 0; // jobs skipped because they were converted before
    qsizetype skippedExisting = 0;  // jobs left alone because their result was there already
    qsizetype notSmaller = 0;       // jobs whose result would not have saved enough
    QList<RunFailure> failedJobs;   // in the order they ended
    qint64 convertedInputBytes = 0; // sources of the jobs this run converted
    qint64 outputBytes = 0;         // their results

    bool failed() const { return !failedJobs.isEmpty(); }
};
Q_DECLARE_METATYPE(RunReport)

inline constexpr char SupportEmail[] = "support@tessaro.app";

// The alert that ends a run, worded in the user's language where a translation is installed.
struct ClosingReport {
    enum class Icon { None, Information, Warning };
    QString title;
    QString text; // "" when there is nothing to report
    Icon icon = Icon::None;
};

// How many failed files the report names before "and N more".
inline constexpr int ListedFailures = 5;

// Nothing when no job failed (also for a cancelled run). Every failure an animated WebP: the
// decoder's words. Every failure a silent tool: the support address. Otherwise the failed
// files with their reasons, the first few by name.
ClosingReport closingReport(const RunReport& report);
