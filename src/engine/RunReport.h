#pragma once
#include <QString>
#include <QtGlobal>

// What a finished batch run tells its front end.
struct RunReport {
    bool failed = false;            // some job ended without a written result
    bool cancelled = false;         // the run was stopped by cancel()
    QString convertError;           // error output of the last tool that exited non-zero, or ""
    qsizetype converted = 0;        // jobs converted by this run
    qsizetype failures = 0;         // jobs of this run that ended in state 3 or 0 with a failure
    qsizetype alreadyConverted = 0; // jobs skipped because they were converted before
    qsizetype skippedExisting = 0;  // jobs left alone because their result was there already
    qint64 convertCount = 0;        // "ConvertCount" after this run (0 when not counted)

    // The closing report: "" when no job failed (also for a cancelled run), otherwise the
    // one message to show.
    QString closingMessage() const;
};

inline constexpr char SupportEmail[] = "support@tessaro.app";

// The two closing report texts.
QString closingReportText(bool failed, const QString& convertError);
