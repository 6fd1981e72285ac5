#pragma once
#include "CliOptions.h"
#include "ProgressLine.h"
#include "RunSummary.h"

#include <QElapsedTimer>

// Tells each input's outcome as soon as it is known, in the shape the options ask for, counts
// it for the closing report, and writes that report.
class OutcomeStream {
public:
    // What the text output says per input. A run, which ends with a summary, shows a progress
    // line and a line only for what aiming or measuring reached. A watch, which may run for
    // weeks, gives every finished input its line as it finishes and keeps no list of them.
    enum class Lines { WhenAiming, Every };

    OutcomeStream(const CliOptions& options, Lines lines);

    void add(const InputOutcome& outcome);
    // done of total inputs finished, the last one being name.
    void showProgress(qsizetype done, qsizetype total, const QString& name);
    // The JSON document, the totals line or the summary text; with --quiet each failure not
    // told yet.
    void writeClosing(bool cancelled);
    RunSummary& summary() { return summary_; }
    const RunSummary& summary() const { return summary_; }

private:
    bool textLines() const { return !options_.json && !options_.jsonLines && !options_.quiet; }
    void writeLine(const InputOutcome& outcome);

    const CliOptions& options_; // the owner's, which outlives this
    Lines lines_;
    ProgressLine progress_;
    RunSummary summary_;
    QElapsedTimer clock_;
};
