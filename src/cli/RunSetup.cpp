#include "RunSetup.h"

#include "AppPaths.h"
#include "ConsoleOutput.h"
#include "OutputChecks.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Test-only hooks: a folder of stand-in tools and their time limit.
const char ToolsDirectoryVariable[] = "TESSARO_TOOLS_DIR";
const char ToolTimeoutVariable[] = "TESSARO_TOOL_TIMEOUT_MS";

} // namespace

namespace RunSetup {

RunOptions runOptions(const CliOptions& options) {
    RunOptions run = options.run;
    run.toolsDirectory = qEnvironmentVariable(ToolsDirectoryVariable);
    bool ok = false;
    const int timeoutMs = qEnvironmentVariableIntValue(ToolTimeoutVariable, &ok);
    if (ok && timeoutMs > 0)
        run.toolTimeoutMs = timeoutMs;
    return run;
}

bool start(BatchRun& run, JobSource& jobs, const CliOptions& options) {
    QString error;
    if (!options.run.nextToSource &&
        !OutputChecks::prepareOutputDirectory(options.run.outputDirectory, &error)) {
        ConsoleOutput::printError(error);
        return false;
    }
    if (!run.start(&jobs, runOptions(options))) {
        ConsoleOutput::printError(
            QStringLiteral("cannot start the conversion: no usable work folder under %1")
                .arg(QDir::toNativeSeparators(
                    QFileInfo(AppPaths::privateHome()).absoluteFilePath())));
        return false;
    }
    return true;
}

} // namespace RunSetup
