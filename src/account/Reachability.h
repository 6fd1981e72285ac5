#pragma once
#include <QObject>
#include <QUrl>

// Whether the service can be reached, as the desktop reports it. Reports arrive on the
// interface thread.
class Reachability : public QObject {
    Q_OBJECT
public:
    enum class Status { Unknown, NotReachable, Reachable };
    Q_ENUM(Status)

    using QObject::QObject;
    virtual Status status() const = 0;

Q_SIGNALS:
    void statusChanged(Reachability::Status status);
};

// Backed by QNetworkInformation; reports Unknown when no backend can be loaded. A service
// on this machine is always reachable, whatever the network does.
class SystemReachability : public Reachability {
    Q_OBJECT
public:
    explicit SystemReachability(const QUrl& serviceUrl, QObject* parent = nullptr);
    Status status() const override;

private:
    bool serviceIsLocal_ = false;
};
