#pragma once
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

#include "DesktopIntegration.h"
#include "MainWindow.h"
#include "RunNotifier.h"

class QAction;
class QMenuBar;
class QUrl;
class QWidget;

// The application shell: the launch sequence, the menu bar with its Account menu, files
// opened with the application, and the wiring between the window and the account, through
// the named notifications of the shell where a name is what peers know, typed signals elsewhere.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    explicit AppDelegate(MainWindow* mainWindow, QObject* parent = nullptr);
    ~AppDelegate() override;

    void finishLaunching();
    // Files the application was opened with (command line, desktop entry, a later launch);
    // with a --convert-to target ("webp", "jpg", "png") they are converted at once.
    void openFiles(const QStringList& paths, const QString& target = {});
    // "Login" shown when logged out; "Logout" and "My Profile" shown when logged in.
    void setAccountMenu(bool loggedIn);

    void chooseSavePath();
    void linkWebSite();
    void reopenApplication();
    // The text service: writes the received text to the log.
    static void logText(const QString& text);

    QMenuBar* mainMenu() const;
    MainWindow* mainWindow() const { return mainWindow_; }
    QAction* loginAction() const { return loginAction_; }
    QAction* myProfileAction() const { return myProfileAction_; }
    QAction* logoutAction() const { return logoutAction_; }
    DesktopIntegration* desktop() const { return desktop_; }
    RunNotifier* runNotifier() const { return runNotifier_; }

    // Seams for the folder panel and the browser, so tests need neither.
    std::function<QString(QWidget* parent, const QString& startFolder)> chooseDirectory;
    std::function<void(const QUrl& url)> openUrl;

private:
    void buildMenus();
    void wireNotifications();
    // The desktop's notifications, icon progress and file manager.
    void wireDesktop();

    QPointer<MainWindow> mainWindow_;
    QPointer<QAction> loginAction_;
    QPointer<QAction> myProfileAction_;
    QPointer<QAction> logoutAction_;
    QPointer<DesktopIntegration> desktop_;
    QPointer<RunNotifier> runNotifier_;
};
