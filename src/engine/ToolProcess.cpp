#include "ToolProcess.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>

#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr int Outlasted[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};

// Built or installed: next to the program, or in its libexec folder.
QByteArray supervisorProgram() {
    const QString folder = QCoreApplication::applicationDirPath();
    for (const QString& candidate :
         {folder + QStringLiteral("/tessaro-tool-supervisor"),
          folder + QStringLiteral("/../libexec/tessaro-pro/tessaro-tool-supervisor")}) {
        if (QFileInfo(candidate).isExecutable())
            return QFile::encodeName(candidate);
    }
    qWarning().noquote() << QStringLiteral("No tessaro-tool-supervisor in %1: a tool's own "
                                           "children may outlive a killed program")
                                .arg(folder);
    return {};
}

// Decimal digits without the C library's formatting, which is not safe after fork.
void writeNumber(long value, char (&text)[24]) {
    char digits[24];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0 && count < 23);
    for (int i = 0; i < count; ++i)
        text[i] = digits[count - 1 - i];
    text[count] = '\0';
}

// Runs in the child QProcess made (it shares our memory until it executes something, so
// async-signal-safe calls and raw system calls only). Splits it in two: a new child that
// returns and is executed as the tool, and this one, executed as its supervisor.
void prepare(pid_t program, const char* supervisor) {
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != program) // the program died before the line above took effect
        ::_exit(127);
    if (!supervisor)
        return;
    const pid_t self = ::getpid();
    // Not fork(): its bookkeeping would write into the program's memory, shared right now.
    const long tool = ::syscall(SYS_clone, SIGCHLD, 0, 0, 0, 0);
    if (tool == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != self)
            ::_exit(127);
        return;
    }
    if (tool < 0)
        return; // no supervisor: executed as the tool itself
    // A death signal arriving before the supervisor handles it stays pending until then.
    sigset_t gone;
    sigemptyset(&gone);
    sigaddset(&gone, ToolProcess::ProgramGone);
    ::sigprocmask(SIG_BLOCK, &gone, nullptr);
    ::prctl(PR_SET_PDEATHSIG, ToolProcess::ProgramGone);
    // Meant for the tool; the supervisor outlasts them and then ends as the tool did.
    for (const int signalNumber : Outlasted)
        ::signal(signalNumber, SIG_IGN);
    char toolText[24], programText[24];
    writeNumber(tool, toolText);
    writeNumber(program, programText);
    char* const arguments[] = {const_cast<char*>(supervisor), toolText, programText, nullptr};
    ::execve(supervisor, arguments, environ);
    ::kill(static_cast<pid_t>(tool), SIGKILL); // never a tool without its supervisor
    ::_exit(127);
}

} // namespace

namespace ToolProcess {

std::function<void()> childSetup() {
    const pid_t program = ::getpid();
    const QByteArray supervisor = supervisorProgram();
    return [program, supervisor] {
        prepare(program, supervisor.isEmpty() ? nullptr : supervisor.constData());
    };
}

} // namespace ToolProcess
