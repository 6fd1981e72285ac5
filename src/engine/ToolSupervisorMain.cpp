// tessaro-tool-supervisor <tool pid> <program pid>: executed by ToolProcess in the tool's
// process group as the tool's parent. Kills the group when the program dies; otherwise waits
// for the tool and ends as it ended.
#include "ToolProcess.h"

#include <cerrno>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
void killGroup(int) {
    ::kill(0, SIGKILL);
}

void unblock(int signalNumber) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signalNumber);
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return 127;
    const auto tool = static_cast<pid_t>(std::atol(argv[1]));
    const auto program = static_cast<pid_t>(std::atol(argv[2]));
    std::signal(ToolProcess::ProgramGone, killGroup);
    unblock(ToolProcess::ProgramGone);
    if (::getppid() != program) // gone before the death signal was set
        killGroup(0);
    int status = 0;
    while (::waitpid(tool, &status, 0) < 0) {
        if (errno != EINTR)
            return 127;
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    // The same signal ends the supervisor, without a core file of its own.
    const int signalNumber = WTERMSIG(status);
    const rlimit noCore = {0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    std::signal(signalNumber, SIG_DFL);
    unblock(signalNumber);
    ::kill(::getpid(), signalNumber);
    return 128 + signalNumber;
}
