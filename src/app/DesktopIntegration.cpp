#include "DesktopIntegration.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QUrl>
#include <QVariantMap>

namespace {

const QString NotificationsService = QStringLiteral("org.freedesktop.Notifications");
const QString NotificationsPath = QStringLiteral("/org/freedesktop/Notifications");
const QString FileManagerService = QStringLiteral("org.freedesktop.FileManager1");
const QString FileManagerPath = QStringLiteral("/org/freedesktop/FileManager1");
const QString ShowInFolderAction = QStringLiteral("show-in-folder");
const QString DefaultAction = QStringLiteral("default"); // a click on the notification itself
const QString DesktopEntry = QStringLiteral("tessaro-pro");
constexpr int RememberedNotifications = 32; // older ones have long been dismissed

} // namespace

DesktopIntegration::DesktopIntegration(FolderOpener openFolder, QObject* parent)
    : QObject(parent), openFolder_(std::move(openFolder)) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected())
        bus.connect(NotificationsService, NotificationsPath, NotificationsService,
                    QStringLiteral("ActionInvoked"), this, SLOT(actionInvoked(uint, QString)));
}

void DesktopIntegration::notifyRunEnded(const QString& summary, const QString& body,
                                        const QString& target) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QStringList actions;
    if (!target.isEmpty())
        actions << DefaultAction << tr("Show in folder") << ShowInFolderAction
                << tr("Show in folder");
    QDBusMessage call = QDBusMessage::createMethodCall(
        NotificationsService, NotificationsPath, NotificationsService, QStringLiteral("Notify"));
    call << QStringLiteral("Tessaro Pro") << uint(0) << DesktopEntry << summary << body << actions
         << QVariantMap{{QStringLiteral("desktop-entry"), DesktopEntry},
                        {QStringLiteral("category"), QStringLiteral("transfer.complete")}}
         << int(-1);
    auto* reply = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(reply, &QDBusPendingCallWatcher::finished, this,
            [this, target](QDBusPendingCallWatcher* watcher) {
                watcher->deleteLater();
                const QDBusPendingReply<uint> id = *watcher;
                if (id.isError() || target.isEmpty())
                    return;
                targets_.append({id.value(), target});
                if (targets_.size() > RememberedNotifications)
                    targets_.removeFirst();
            });
}

void DesktopIntegration::actionInvoked(uint id, const QString& action) {
    if (action != ShowInFolderAction && action != DefaultAction)
        return;
    for (const auto& [notification, target] : std::as_const(targets_)) {
        if (notification == id)
            return showInFolder(target);
    }
}

void DesktopIntegration::setProgress(double fraction, bool visible) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage update = QDBusMessage::createSignal(
        QStringLiteral("/com/canonical/unity/launcherentry/tessaro_pro"),
        QStringLiteral("com.canonical.Unity.LauncherEntry"), QStringLiteral("Update"));
    update << QStringLiteral("application://%1.desktop").arg(DesktopEntry)
           << QVariantMap{{QStringLiteral("progress"), qBound(0.0, fraction, 1.0)},
                          {QStringLiteral("progress-visible"), visible}};
    bus.send(update);
}

void DesktopIntegration::showInFolder(const QString& file) {
    const QFileInfo info(file);
    const bool isFolder = info.isDir();
    const QString folder = isFolder ? info.absoluteFilePath() : info.absolutePath();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolder_(folder);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        FileManagerService, FileManagerPath, FileManagerService,
        isFolder ? QStringLiteral("ShowFolders") : QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(info.absoluteFilePath()).toString(QUrl::FullyEncoded)}
         << QString(); // no startup id
    auto* reply = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(reply, &QDBusPendingCallWatcher::finished, this,
            [this, folder](QDBusPendingCallWatcher* watcher) {
                watcher->deleteLater();
                if (watcher->isError()) // no file manager offers the service
                    openFolder_(folder);
            });
}
