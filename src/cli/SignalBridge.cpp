#include "SignalBridge.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalSockets[2] = {-1, -1}; // [0] written by the handler, [1] read by the notifier

void onSignal(int signalNumber) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    // Nothing else is async-signal-safe enough to do here; a full pipe just drops the byte.
    [[maybe_unused]] const ssize_t written = ::write(signalSockets[0], &byte, 1);
    errno = savedErrno;
}

bool installHandler(int signalNumber) {
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(signalNumber, &action, nullptr) == 0;
}

} // namespace

SignalBridge::SignalBridge(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalSockets) != 0)
        return;
    notifier_ = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SignalBridge::readPending);
    // A closed terminal (SIGHUP) cancels like Ctrl-C: dying outright would leave the
    // run's work folder behind and report nothing.
    if (!installHandler(SIGINT) || !installHandler(SIGTERM) || !installHandler(SIGHUP)) {
        delete notifier_;
        notifier_ = nullptr;
    }
}

SignalBridge::~SignalBridge() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGHUP, SIG_DFL);
    delete notifier_;
    for (int& fd : signalSockets) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void SignalBridge::readPending() {
    char byte = 0;
    while (::read(signalSockets[1], &byte, 1) == 1)
        Q_EMIT signalled(static_cast<unsigned char>(byte));
}
