#include "ConsoleOutput.h"

#include "TerminalText.h"

#include <cstdio>
#include <unistd.h>

namespace ConsoleOutput {

namespace {

void writeAll(std::FILE* stream, const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

void writeStdout(const QString& text) {
    writeAll(stdout, text.toUtf8());
}

void writeStdout(const QByteArray& bytes) {
    writeAll(stdout, bytes);
}

void writeStderr(const QString& text) {
    writeAll(stderr, text.toUtf8());
}

void printError(const QString& message) {
    writeStderr(QStringLiteral("tessaro-convert: ") + terminalSafe(message) + QLatin1Char('\n'));
}

bool stdoutIsTerminal() {
    return ::isatty(STDOUT_FILENO) == 1;
}

} // namespace ConsoleOutput
