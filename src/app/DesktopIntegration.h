#pragma once
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

#include <functional>

// The desktop around the window, over the session bus: a notification when a run ends, the
// run's progress on the dock or taskbar icon, and the file manager showing a file. Without a
// session bus (or without a service answering) nothing fails: notifications and progress are
// left out, and showing a file falls back to opening its folder.
class DesktopIntegration : public QObject {
    Q_OBJECT
public:
    // Opens a folder some other way (e.g. through the desktop's URL handler).
    using FolderOpener = std::function<void(const QString& folder)>;

    explicit DesktopIntegration(FolderOpener openFolder, QObject* parent = nullptr);

    // A notification with the run's outcome; target (a result or the output folder, "" for
    // none) gets a "Show in folder" action. Never waits for the notification server.
    void notifyRunEnded(const QString& summary, const QString& body, const QString& target);
    // The run's progress (0…1) on the application's icon, or no progress shown.
    void setProgress(double fraction, bool visible);
    // The file manager opens with file selected (a folder: opened); its folder otherwise.
    void showInFolder(const QString& file);

private Q_SLOTS:
    void actionInvoked(uint id, const QString& action);

private:
    FolderOpener openFolder_;
    QList<QPair<uint, QString>> targets_; // the latest notifications' ids and targets
};
