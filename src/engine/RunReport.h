#pragma once
#include <QList>
#include <QString>
#include <QtGlobal>

// One job of a run that ended without a written result.
struct RunFailure {
    enum class Kind {
        Reported,     // the reason says what happened
        AnimatedWebp, // an animated WebP handed to the decoder, which cannot decode it
        SilentTool,   // the tool failed and said nothing on its error stream
    };
    QString path;   // the source file
    QString reason; // names the file; may be empty
    Kind kind = Kind::Reported;
};

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
    QList<RunFailure> failedJobs;   // in the order they ended
    qint64 convertedInputBytes = 0; // sources of the jobs this run converted
    qint64 outputBytes = 0;         // their results

    // The closing report's text: "" when no job failed (also for a cancelled run).
    QString closingMessage() const;
};

inline constexpr char SupportEmail[] = "support@tessaro.app";

// The alert that ends a run, as a front end shows it.
struct ClosingReport {
    enum class Icon { None, Information, Warning };
    QString title;
    QString text; // "" when there is nothing to report
    Icon icon = Icon::None;
};

namespace ClosingTexts {
inline constexpr char AnimatedWebp[] = "Error! Decoding of an animated WebP file is not supported.";
// How many failed files the report names before "and N more".
inline constexpr int ListedFailures = 5;
QString silentTool();
} // namespace ClosingTexts

// Every failure an animated WebP: the decoder's own words. Every failure a silent tool: the
// support address. Otherwise the failed files with their reasons, the first few by name.
ClosingReport closingReport(const RunReport& report);
