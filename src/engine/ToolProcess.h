#pragma once
#include <csignal>
#include <functional>

// How a conversion tool is started so that nothing of it outlives the program, even a program
// killed outright. The tool runs in a new process group (a Ctrl-C meant for us must not reach
// it before we can cancel in order) under a small supervisor of ours, tessaro-tool-supervisor:
// the kernel's death signal only reaches a direct child, so it goes to the supervisor, which
// then kills the whole group, children of a wrapper script included. The supervisor ends the
// way the tool ends (exit status or signal), so the program sees the tool's own result.
namespace ToolProcess {

// The supervisor's death signal: the program is gone.
inline constexpr int ProgramGone = SIGUSR1;

// For QProcess::setChildProcessModifier. Without the supervisor program the tool still runs
// in its own group and dies with us, but its own children may not.
std::function<void()> childSetup();

} // namespace ToolProcess
