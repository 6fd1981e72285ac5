#include "CliOptions.h"

#include "AimArguments.h"
#include "ModeTable.h"
#include "PresetArguments.h"
#include "RawNames.h"

#include <QCommandLineParser>
#include <QDir>
#include <QThread>

#include <optional>

namespace {

// A whole decimal number within [low, high], or nothing.
std::optional<int> boundedInteger(const QString& text, int low, int high) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

ParsedCommandLine usageError(const QString& error) {
    ParsedCommandLine parsed;
    parsed.action = ParsedCommandLine::Action::UsageError;
    parsed.error = error;
    return parsed;
}

} // namespace

int defaultJobs() {
    return qBound(1, QThread::idealThreadCount(), MaxJobs);
}

QString usageText() {
    return QStringLiteral(
               "Usage: tessaro-convert [options] PATH...\n"
               "       tessaro-convert --watch [options] FOLDER...\n"
               "Converts images to and from WebP. PATH: files and/or folders (a folder: its\n"
               "files, not its subfolders, unless -r). Any number of inputs; results are\n"
               "reported as they finish.\n"
               "\n"
               "Options:\n"
               "  -t, --to webp|jpg|png  target format; with webp, GIF inputs become animated\n"
               "                         WebP and JPG/PNG inputs still WebP; jpg and png take\n"
               "                         WebP inputs\n"
               "  -q, --quality N        quality 0-100 for WebP and JPG results (default 90);\n"
               "                         PNG results are lossless\n"
               "  -o, --output DIR       output folder (default: the current folder); created\n"
               "                         if missing; existing files are never replaced\n"
               "      --next-to-source   each result in its source's folder instead of -o\n"
               "      --keep-date        give each result its source's creation date as\n"
               "                         modification time\n"
               "  -r, --recursive        folders give their whole tree (hidden entries and\n"
               "                         links to folders left out); each result lands at\n"
               "                         its source's relative place under the output folder\n"
               "      --skip-existing    leave an input alone when its result's name (without\n"
               "                         \"(n)\") exists: reported \"already exists\", counted\n"
               "                         apart, never a cause of exit status 1\n"
               "      --strip-profile    leave out the source's colour (ICC) profile, which\n"
               "                         results otherwise carry unchanged\n"
               "      --keep-metadata    carry the source's EXIF and XMP (date taken, camera,\n"
               "                         GPS location) into the result\n"
               "      --max-side PX      shrink every result to at most PX on its longest side\n"
               "                         (aspect kept, never enlarged; animations too)\n"
               "      --target-size SIZE each WebP or JPG result as close as it can at or\n"
               "                         below SIZE (bytes, or 150k, 1.5M)\n"
               "      --target-ssim S    the smallest WebP or JPG result whose SSIM against\n"
               "                         its source reaches S (0 < S < 1, e.g. 0.97)\n"
               "      --lossless         WebP results keep every pixel and the alpha channel\n"
               "      --min-saving PCT   keep a result only if it is at least PCT % smaller\n"
               "                         than its source; otherwise the input is reported\n"
               "                         \"notSmaller\" and the source is kept as it is\n"
               "      --measure          report PSNR and SSIM of every result\n"
               "      --preset NAME      the choices of a preset the window saved (see\n"
               "                         --list-presets); options after it override it\n"
               "      --list-presets     print the presets, as their file holds them, and exit\n"
               "      --watch            keep running: convert what is missing in each FOLDER\n"
               "                         (with -r: its subfolders too, new ones included),\n"
               "                         then every file that arrives there once it is\n"
               "                         complete; one line (or --json-lines object) per\n"
               "                         file; SIGINT or SIGTERM stop it with status 0\n"
               "  -j, --jobs N           tools at once, 1-%1 (default: one per processor, %2)\n"
               "      --json             print one JSON report on stdout instead of text\n"
               "      --json-lines       print one JSON object per finished input as it\n"
               "                         finishes, then one object with the totals\n"
               "      --quiet            print only errors\n"
               "  -h, --help             show this help and exit\n"
               "      --version          show the version and exit\n"
               "\n"
               "Exit status: 0 every input converted; 1 some input failed or was skipped;\n"
               "2 usage error, nothing to convert, or an output folder that cannot be\n"
               "written; 130 interrupted. A watch: 0 stopped; 2 usage error or a watched\n"
               "folder gone (deleted, moved or unmounted).\n")
        .arg(MaxJobs)
        .arg(defaultJobs());
}

ParsedCommandLine parseCommandLine(const QStringList& arguments, const QString& currentDir) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    const QCommandLineOption to({"t", "to"}, {}, "format");
    const QCommandLineOption quality({"q", "quality"}, {}, "N");
    const QCommandLineOption output({"o", "output"}, {}, "DIR");
    const QCommandLineOption keepDate("keep-date");
    const QCommandLineOption stripProfile("strip-profile");
    const QCommandLineOption keepMetadata("keep-metadata");
    const QCommandLineOption jobs({"j", "jobs"}, {}, "N");
    const QCommandLineOption json("json");
    const QCommandLineOption jsonLines("json-lines");
    const QCommandLineOption recursive(QStringList{"r", "recursive"});
    const QCommandLineOption skipExisting("skip-existing");
    const QCommandLineOption nextToSource("next-to-source");
    const QCommandLineOption watch("watch");
    const QCommandLineOption quiet("quiet");
    const QCommandLineOption help(QStringList{"h", "help"});
    const QCommandLineOption version("version");
    parser.addOptions({to, quality, output, keepDate, stripProfile, keepMetadata, jobs, json,
                       jsonLines, recursive, skipExisting, nextToSource, watch, quiet, help,
                       version});
    parser.addOptions(AimArguments::options());
    parser.addOptions(PresetArguments::options());
    parser.addPositionalArgument("PATH", {});

    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        ParsedCommandLine parsed;
        parsed.action = ParsedCommandLine::Action::ShowHelp;
        return parsed;
    }
    if (parser.isSet(version)) {
        ParsedCommandLine parsed;
        parsed.action = ParsedCommandLine::Action::ShowVersion;
        return parsed;
    }

    if (PresetArguments::listRequested(parser)) {
        ParsedCommandLine parsed;
        parsed.action = ParsedCommandLine::Action::ListPresets;
        return parsed;
    }

    CliOptions options;
    options.run.maxConcurrent = defaultJobs();
    const PresetArguments::Chosen preset = PresetArguments::choose(parser);
    if (!preset.error.isEmpty())
        return usageError(preset.error);
    const QString target = PresetArguments::target(parser, preset);
    if (target.isEmpty())
        return usageError(QStringLiteral("Missing --to (webp, jpg or png)."));
    options.target = target.toLower();
    options.modes = ModeTable::modesForTarget(options.target);
    if (options.modes.isEmpty())
        return usageError(QStringLiteral("Invalid --to '%1': use webp, jpg or png.").arg(target));
    if (parser.isSet(quality)) {
        const auto value = boundedInteger(parser.value(quality), 0, 100);
        if (!value)
            return usageError(QStringLiteral("Invalid --quality '%1': use a whole number "
                                             "from 0 to 100.")
                                  .arg(parser.value(quality)));
        options.run.quality = *value;
    }
    if (parser.isSet(jobs)) {
        const auto value = boundedInteger(parser.value(jobs), 1, MaxJobs);
        if (!value)
            return usageError(QStringLiteral("Invalid --jobs '%1': use a whole number "
                                             "from 1 to %2.")
                                  .arg(parser.value(jobs))
                                  .arg(MaxJobs));
        options.run.maxConcurrent = *value;
    }
    const QString outputArgument = parser.isSet(output) ? parser.value(output) : QString(".");
    if (outputArgument.isEmpty())
        return usageError(QStringLiteral("Invalid --output: the folder name is empty."));
    if (RawNames::isUndecodable(outputArgument))
        return usageError(QStringLiteral("Invalid --output '%1': the folder name is not valid "
                                         "UTF-8.")
                              .arg(RawNames::shownName(outputArgument)));
    const AimArguments::Parsed aim =
        AimArguments::parse(parser, options.modes, parser.isSet(quality));
    if (!aim.error.isEmpty())
        return usageError(aim.error);
    options.run.aim = aim.aim;
    if (parser.isSet(json) && parser.isSet(jsonLines))
        return usageError(QStringLiteral("Use either --json or --json-lines, not both."));
    if (parser.isSet(output) && parser.isSet(nextToSource))
        return usageError(QStringLiteral("Use either --output or --next-to-source, not both."));
    if (parser.isSet(watch) && parser.isSet(json))
        return usageError(QStringLiteral("A watch never ends with one report: use --json-lines "
                                         "instead of --json."));
    options.run.mode = options.modes.first();
    options.run.outputDirectory =
        QDir::cleanPath(QDir(currentDir).absoluteFilePath(outputArgument));
    options.run.keepDate = parser.isSet(keepDate);
    options.run.keepColorProfiles = !parser.isSet(stripProfile);
    options.run.keepMetadata = parser.isSet(keepMetadata);
    options.run.skipExisting = parser.isSet(skipExisting);
    options.run.nextToSource = parser.isSet(nextToSource);
    options.watch = parser.isSet(watch);
    options.json = parser.isSet(json);
    options.jsonLines = parser.isSet(jsonLines);
    options.recursive = parser.isSet(recursive);
    options.quiet = parser.isSet(quiet);
    PresetArguments::apply(parser, preset, &options);
    options.paths = parser.positionalArguments();
    if (options.paths.isEmpty())
        return usageError(options.watch ? QStringLiteral("No FOLDER given to watch.")
                                        : QStringLiteral("No PATH given."));
    ParsedCommandLine parsed;
    parsed.action = ParsedCommandLine::Action::Convert;
    parsed.options = options;
    return parsed;
}
