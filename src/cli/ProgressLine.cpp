#include "ProgressLine.h"

#include "ConsoleOutput.h"
#include "TerminalText.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace {

int terminalWidth() {
    winsize size = {};
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

} // namespace

QString progressText(qsizetype done, qsizetype total, const QString& name, int width) {
    const qsizetype percent = total > 0 ? done * 100 / total : 100;
    QString text =
        QStringLiteral("[%1/%2] %3% %4").arg(done).arg(total).arg(percent).arg(terminalSafe(name));
    // A line longer than the terminal wraps, and the carriage return then cannot rewrite it.
    if (width > 1 && text.size() >= width)
        text = text.left(width - 2) + QChar(0x2026);
    return text;
}

void ProgressLine::show(qsizetype done, qsizetype total, const QString& name) {
    if (!enabled_)
        return;
    ConsoleOutput::writeStdout(QStringLiteral("\r\x1b[K") +
                               progressText(done, total, name, terminalWidth()));
    shown_ = true;
}

void ProgressLine::clear() {
    if (!enabled_ || !shown_)
        return;
    ConsoleOutput::writeStdout(QStringLiteral("\r\x1b[K"));
    shown_ = false;
}
