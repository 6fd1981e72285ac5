#pragma once
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

#include "MainWindowController.h"

class QMenu;
class QMenuBar;
class QUrl;
class QWidget;

// The application shell: the launch sequence, the menu bar with its Account menu, files
// opened with the application, and the menu actions that belong to no window.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    explicit AppDelegate(MainWindowController* mainWindow, QObject* parent = nullptr);
    ~AppDelegate() override;

    void applicationDidFinishLaunching();
    // Files the application was opened with (command line, desktop entry, a later launch).
    void openFiles(const QStringList& paths);
    // "Login" shown when logged out; "Logout" and "My Profile" shown when logged in.
    void setAccountMenu(bool loggedIn);

    void chooseSavePath();
    void linkWebSite();
    void reopenApplication();
    // The text service: writes the received text to the log.
    static void doString(const QString& text);

    QMenuBar* mainMenu() const;
    MainWindowController* mainWindow() const { return mainWindow_; }

    // Seams for the folder panel and the browser, so tests need neither.
    std::function<QString(QWidget* parent, const QString& startFolder)> chooseDirectory;
    std::function<void(const QUrl& url)> openUrl;

private:
    void buildMenus();
    static void seedServiceUrls();

    QPointer<MainWindowController> mainWindow_;
};
