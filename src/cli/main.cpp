#include "AppPaths.h"
#include "CliOptions.h"
#include "ConsoleOutput.h"
#include "ConvertCommand.h"
#include "PresetArguments.h"
#include "RawNames.h"
#include "SignalBridge.h"
#include "WatchCommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {

// The engine's log lines are for the window's log; here only real warnings reach stderr.
void quietMessageHandler(QtMsgType type, const QMessageLogContext& context,
                         const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    ConsoleOutput::printError(message);
    if (type == QtFatalMsg)
        qt_message_output(type, context, message);
}

// Runs a command (a conversion or a watch) to its end; a signal interrupts it.
template <typename Command> int execute(const CliOptions& options) {
    SignalBridge signalBridge;
    Command command(options);
    QObject::connect(&signalBridge, &SignalBridge::signalled, &command, &Command::interrupt);
    QObject::connect(&command, &Command::done, QCoreApplication::instance(),
                     &QCoreApplication::exit, Qt::QueuedConnection);
    if (const std::optional<int> status = command.start())
        return *status;
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char* argv[]) {
    qInstallMessageHandler(quietMessageHandler);
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("tessaro"));
    QCoreApplication::setApplicationName(QStringLiteral("tessaro-convert"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSARO_VERSION));

    const ParsedCommandLine parsed =
        parseCommandLine(RawNames::arguments(argc, argv), QDir::currentPath());
    switch (parsed.action) {
    case ParsedCommandLine::Action::ShowHelp:
        ConsoleOutput::writeStdout(usageText());
        return ConvertCommand::ExitConverted;
    case ParsedCommandLine::Action::ShowVersion:
        ConsoleOutput::writeStdout(QStringLiteral("tessaro-convert %1\n").arg(TESSARO_VERSION));
        return ConvertCommand::ExitConverted;
    case ParsedCommandLine::Action::ListPresets:
        return PresetArguments::list();
    case ParsedCommandLine::Action::UsageError:
        ConsoleOutput::printError(parsed.error);
        ConsoleOutput::writeStderr(usageText());
        return ConvertCommand::ExitUsage;
    case ParsedCommandLine::Action::Convert:
        break;
    }

    if (QString why; !AppPaths::preparePrivateHome(&why))
        ConsoleOutput::printError(QStringLiteral("the private home is not private: %1").arg(why));
    if (parsed.options.watch)
        return execute<WatchCommand>(parsed.options);
    return execute<ConvertCommand>(parsed.options);
}
