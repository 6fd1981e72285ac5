#pragma once
#include "BatchRun.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// What one invocation of tessaro-convert asks for.
struct CliOptions {
    QString target;           // "webp", "jpg" or "png"
    QList<ConvertMode> modes; // conversion modes the target takes, in matching order
    // What the window's choices also decide: quality, output folder, dates, what results
    // carry, existing results; the tools at once default to the processor count here.
    RunOptions run;
    bool json = false;
    bool jsonLines = false; // one object per finished input, then one with the totals
    bool quiet = false;
    bool recursive = false; // folders give their whole tree, mirrored under the output
    bool watch = false;     // paths are folders whose arrivals are converted until stopped
    // As given; one whose bytes are not valid UTF-8 comes marked (RawNames::arguments).
    QStringList paths;
};

struct ParsedCommandLine {
    enum class Action { Convert, ShowHelp, ShowVersion, ListPresets, UsageError };
    Action action = Action::UsageError;
    CliOptions options;
    QString error; // one line, for UsageError
};

inline constexpr int MaxJobs = 64;

// Reads the arguments (argv[0] first), as RawNames::arguments gives them. Relative folders are
// resolved against currentDir.
ParsedCommandLine parseCommandLine(const QStringList& arguments, const QString& currentDir);

// Tools at once when -j is not given: one per processor.
int defaultJobs();

// The text --help prints.
QString usageText();
