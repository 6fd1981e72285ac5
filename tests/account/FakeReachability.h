#pragma once
#include "Reachability.h"

// A network status the test sets by hand.
class FakeReachability : public Reachability {
    Q_OBJECT
public:
    explicit FakeReachability(Status status, QObject* parent = nullptr)
        : Reachability(parent), status_(status) {}
    Status status() const override { return status_; }
    void set(Status status) {
        status_ = status;
        Q_EMIT statusChanged(status);
    }

private:
    Status status_;
};
