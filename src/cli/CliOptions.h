#pragma once
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// What one invocation of tessaro-convert asks for.
struct CliOptions {
    QString target;          // "webp", "jpg" or "png"
    QList<qint64> modes;     // conversion modes the target takes, in matching order
    int quality = 90;        // 0..100
    QString outputDirectory; // absolute
    bool keepDate = false;
    bool keepColorProfiles = true; // off with --strip-profile
    bool keepMetadata = false;     // on with --keep-metadata
    int jobs = 5; // tools at once; the command line's default is the processor count
    bool json = false;
    bool jsonLines = false; // one object per finished input, then one with the totals
    bool quiet = false;
    bool recursive = false;    // folders give their whole tree, mirrored under the output
    bool skipExisting = false; // leave inputs whose result name is taken alone
    QStringList paths;         // as given
    // Arguments whose bytes are not valid UTF-8: the decoded text -> the bytes as people read
    // them. Such a path cannot be opened by its decoded name.
    QHash<QString, QString> invalidNames;
};

struct ParsedCommandLine {
    enum class Action { Convert, ShowHelp, ShowVersion, UsageError };
    Action action = Action::UsageError;
    CliOptions options;
    QString error; // one line, for UsageError
};

inline constexpr int MaxJobs = 64;

// Reads the arguments (argv[0] first). Relative folders are resolved against currentDir.
// invalidNames: see CliOptions::invalidNames.
ParsedCommandLine parseCommandLine(const QStringList& arguments, const QString& currentDir,
                                   const QHash<QString, QString>& invalidNames = {});

// Tools at once when -j is not given: one per processor.
int defaultJobs();

// The text --help prints.
QString usageText();
