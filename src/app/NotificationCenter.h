#pragma once
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <functional>
#include <vector>

// Process-wide, name-based notifications: a poster does not know its observers.
// Delivery is synchronous on the posting thread; observers go away with their receiver.
class NotificationCenter {
public:
    using Handler = std::function<void(const QVariant& object)>;

    static NotificationCenter& defaultCenter();

    void observe(const QString& name, QObject* receiver, Handler handler);
    void removeObserver(QObject* receiver);
    void post(const QString& name, const QVariant& object = {});

private:
    struct Observer {
        QPointer<QObject> receiver;
        Handler handler;
    };
    QHash<QString, std::vector<Observer>> observers_;
};
