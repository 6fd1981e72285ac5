#pragma once
#include <QByteArray>
#include <QString>

// Unbuffered UTF-8 writes to the standard streams.
namespace ConsoleOutput {
void writeStdout(const QString& text);
void writeStdout(const QByteArray& bytes);
void writeStderr(const QString& text);
// "tessaro-convert: <message>\n" on stderr, control characters escaped (the message may
// hold file names and tool output).
void printError(const QString& message);
bool stdoutIsTerminal();
} // namespace ConsoleOutput
