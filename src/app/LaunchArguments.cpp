#include "LaunchArguments.h"

#include "ModeTable.h"
#include "RawNames.h"
#include "ReasonText.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

namespace LaunchArguments {
namespace {

const QString ConvertTo = QStringLiteral("convert-to");

void describe(QCommandLineParser& parser) {
    parser.setApplicationDescription(QCoreApplication::translate(
        "LaunchArguments",
        "Converts images to and from WebP in batches: WebP to JPG or PNG, JPG and PNG to "
        "WebP, GIF to animated WebP.\nA running window takes the files of a later launch. "
        "For the command line, see tessaro-convert(1)."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(QCommandLineOption(
        ConvertTo,
        QCoreApplication::translate("LaunchArguments",
                                    "Converts the files at once to <format> (webp, jpg or png), "
                                    "each result next to its source, and ends with a desktop "
                                    "notification."),
        QStringLiteral("format")));
    parser.addPositionalArgument(
        QStringLiteral("files"),
        QCoreApplication::translate("LaunchArguments", "Images or folders to add to the list."),
        QStringLiteral("[files...]"));
}

// Exit code 2 with a message for a target no conversion takes.
std::optional<int> refuseUnknownTarget(const QCommandLineParser& parser) {
    const QString target = parser.value(ConvertTo);
    if (!parser.isSet(ConvertTo) || !ModeTable::modesForTarget(target.toLower()).isEmpty())
        return std::nullopt;
    std::fprintf(stderr, "%s: unknown --convert-to '%s': use webp, jpg or png\n",
                 qPrintable(QCoreApplication::applicationName()), qPrintable(target));
    return 2;
}

} // namespace

std::optional<int> answerInformationRequest(int argc, char* argv[]) {
    // A bare core application is enough to parse and print; the window system is not touched.
    QCoreApplication core(argc, argv);
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(QCoreApplication::arguments()))
        return std::nullopt; // the toolkit's own options (-platform …) are parsed later
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    }
    return refuseUnknownTarget(parser);
}

QString convertTarget(const QStringList& arguments) {
    QCommandLineParser parser;
    describe(parser);
    parser.process(arguments);
    if (const std::optional<int> exitCode = refuseUnknownTarget(parser))
        std::exit(*exitCode);
    return parser.value(ConvertTo).toLower();
}

QStringList files(const QStringList& arguments) {
    QCommandLineParser parser;
    describe(parser);
    parser.process(arguments); // an unknown option ends the launch with the parser's message
    QStringList paths;
    for (const QString& argument : parser.positionalArguments()) {
        // Its decoded text may name another file: it is never opened.
        if (RawNames::isUndecodable(argument)) {
            std::fprintf(stderr, "%s: skipped %s: %s\n",
                         qPrintable(QCoreApplication::applicationName()),
                         qPrintable(RawNames::shownName(argument)),
                         qPrintable(reasonText(Reason::NotUtf8FileName)));
            continue;
        }
        paths.append(QFileInfo(argument).absoluteFilePath());
    }
    return paths;
}

} // namespace LaunchArguments
