#pragma once
#include <QString>

// Text from file names and tool output is shown on a terminal, where an escape sequence in
// a name would be obeyed. Every control character comes out escaped instead: "\e", "\t",
// "\n", "\r", or "\xNN" (C0, DEL and C1 alike).
QString terminalSafe(const QString& text);
