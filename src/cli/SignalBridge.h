#pragma once
#include <QObject>

class QSocketNotifier;

// Turns SIGINT, SIGTERM and SIGHUP into a Qt signal on the thread of the event loop: the handler
// only writes the signal number into a socket pair, which a notifier reads.
class SignalBridge : public QObject {
    Q_OBJECT
public:
    explicit SignalBridge(QObject* parent = nullptr);
    ~SignalBridge() override;

    // False when the socket pair or a handler could not be set up.
    bool isActive() const { return notifier_ != nullptr; }

Q_SIGNALS:
    void signalled(int signalNumber);

private:
    void readPending();

    QSocketNotifier* notifier_ = nullptr;
};
