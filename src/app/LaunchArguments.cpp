#include "LaunchArguments.h"

#include "RawNames.h"
#include "ReasonText.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

namespace LaunchArguments {
namespace {

void describe(QCommandLineParser& parser) {
    parser.setApplicationDescription(QCoreApplication::translate(
        "LaunchArguments",
        "Converts images to and from WebP in batches: WebP to JPG or PNG, JPG and PNG to "
        "WebP, GIF to animated WebP.\nA running window takes the files of a later launch. "
        "For the command line, see tessaro-convert(1)."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("files"),
        QCoreApplication::translate("LaunchArguments", "Images or folders to add to the list."),
        QStringLiteral("[files...]"));
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
    return std::nullopt;
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
