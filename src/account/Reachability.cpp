#include "Reachability.h"

#include <QHostAddress>
#include <QNetworkInformation>

namespace {
Reachability::Status statusOf(QNetworkInformation::Reachability reachability) {
    switch (reachability) {
    case QNetworkInformation::Reachability::Disconnected:
        return Reachability::Status::NotReachable;
    case QNetworkInformation::Reachability::Local:
    case QNetworkInformation::Reachability::Site:
    case QNetworkInformation::Reachability::Online:
        return Reachability::Status::Reachable;
    case QNetworkInformation::Reachability::Unknown:
        break;
    }
    return Reachability::Status::Unknown;
}

bool isLoopbackHost(const QUrl& url) {
    if (url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(url.host());
    return !address.isNull() && address.isLoopback();
}

QNetworkInformation* loadedInformation() {
    if (!QNetworkInformation::instance() &&
        !QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability))
        return nullptr;
    return QNetworkInformation::instance();
}
} // namespace

SystemReachability::SystemReachability(const QUrl& serviceUrl, QObject* parent)
    : Reachability(parent), serviceIsLocal_(isLoopbackHost(serviceUrl)) {
    if (serviceIsLocal_)
        return;
    if (QNetworkInformation* info = loadedInformation()) {
        connect(info, &QNetworkInformation::reachabilityChanged, this,
                [this](QNetworkInformation::Reachability r) { Q_EMIT statusChanged(statusOf(r)); });
    }
}

Reachability::Status SystemReachability::status() const {
    if (serviceIsLocal_)
        return Status::Reachable;
    const QNetworkInformation* info = QNetworkInformation::instance();
    return info ? statusOf(info->reachability()) : Status::Unknown;
}
