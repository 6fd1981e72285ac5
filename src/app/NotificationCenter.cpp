#include "NotificationCenter.h"

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

void NotificationCenter::observe(const QString& name, QObject* receiver, Handler handler) {
    observers_[name].push_back({receiver, std::move(handler)});
}

void NotificationCenter::removeObserver(QObject* receiver) {
    for (auto& list : observers_)
        std::erase_if(list, [receiver](const Observer& o) { return o.receiver == receiver; });
}

void NotificationCenter::post(const QString& name, const QVariant& object) {
    auto it = observers_.find(name);
    if (it == observers_.end())
        return;
    std::erase_if(*it, [](const Observer& o) { return o.receiver.isNull(); });
    // Copy first: a handler may add or remove observers while we deliver.
    const std::vector<Observer> current = *it;
    for (const Observer& o : current) {
        if (!o.receiver.isNull())
            o.handler(object);
    }
}
