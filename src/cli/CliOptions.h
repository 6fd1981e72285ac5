#pragma once
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
    int jobs = 5;                  // tools at once
    bool json = false;
    bool quiet = false;
    QStringList paths; // as given
};

struct ParsedCommandLine {
    enum class Action { Convert, ShowHelp, ShowVersion, UsageError };
    Action action = Action::UsageError;
    CliOptions options;
    QString error; // one line, for UsageError
};

inline constexpr int MaxJobs = 64;

// Reads the arguments (argv[0] first). Relative folders are resolved against currentDir.
ParsedCommandLine parseCommandLine(const QStringList& arguments, const QString& currentDir);

// The text --help prints.
QString usageText();
