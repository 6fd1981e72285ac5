#include "AppDelegate.h"

#include "AccountActions.h"
#include "HomeViewController.h"
#include "MainWindowController.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "ProductLinks.h"
#include "RunCounter.h"
#include "Settings.h"
#include "SettingsKeys.h"

#include <QApplication>
#include <QClipboard>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QImageReader>
#include <QMenuBar>
#include <QPixmapCache>
#include <QUrl>

namespace {

QString directoryPanel(QWidget* parent, const QString& startFolder) {
    QFileDialog panel(parent, QString(), startFolder);
    panel.setFileMode(QFileDialog::Directory);
    panel.setOption(QFileDialog::ShowDirsOnly, true);
    panel.setLabelText(QFileDialog::Accept, AppDelegate::tr("OK"));
    if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty())
        return {};
    return panel.selectedFiles().constFirst();
}

QMenu* accountMenu(QMenuBar* bar) {
    if (bar == nullptr)
        return nullptr;
    return bar->findChild<QMenu*>(QStringLiteral("accountMenu"));
}

} // namespace

AppDelegate::AppDelegate(MainWindowController* mainWindow, QObject* parent)
    : QObject(parent), mainWindow_(mainWindow) {
    chooseDirectory = directoryPanel;
    openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    buildMenus();
    auto& center = NotificationCenter::defaultCenter();
    center.observe(QLatin1String(NotificationNames::LoginNotifi), this,
                   [this](const QVariant&) { setAccountMenu(AccountActions::hasLogin()); });
    center.observe(QLatin1String(NotificationNames::LogOut), this,
                   [this](const QVariant&) { setAccountMenu(AccountActions::hasLogin()); });
}

AppDelegate::~AppDelegate() {
    NotificationCenter::defaultCenter().removeObserver(this);
}

QMenuBar* AppDelegate::mainMenu() const {
    return mainWindow_ != nullptr ? mainWindow_->menuBar() : nullptr;
}

void AppDelegate::buildMenus() {
    QMenuBar* bar = mainMenu();
    if (bar == nullptr)
        return;
    MainWindowController* window = mainWindow_;

    QMenu* file = bar->addMenu(tr("&File"));
    // The window's own actions, so each shortcut has one owner and follows the busy state.
    file->addAction(window->addFileAction());
    file->addAction(window->addFolderAction());
    file->addAction(window->clearFileAction());
    file->addSeparator();
    file->addAction(window->optionsAction());
    file->addAction(tr("Choose Download Folder…"), this, &AppDelegate::chooseSavePath);
    file->addSeparator();
    file->addAction(tr("Quit"), QKeySequence::Quit, qApp, &QApplication::closeAllWindows);

    QMenu* edit = bar->addMenu(tr("&Edit"));
    edit->addAction(tr("Log Clipboard Text"), this,
                    [] { doString(QGuiApplication::clipboard()->text()); });

    QMenu* account = bar->addMenu(tr("Account"));
    account->setObjectName(QStringLiteral("accountMenu"));
    account->addAction(tr("Login"), this, [window] { AccountActions::loginModal(window); })
        ->setObjectName(QStringLiteral("loginAction"));
    account->addAction(tr("My Profile"), this, [window] { AccountActions::myProfile(window); })
        ->setObjectName(QStringLiteral("myProfileAction"));
    account->addAction(tr("Logout"), this, [this] { AccountActions::logOut(this); })
        ->setObjectName(QStringLiteral("logoutAction"));

    QMenu* windowMenu = bar->addMenu(tr("&Window"));
    windowMenu->addAction(QStringLiteral("Tessaro Pro"), this, &AppDelegate::reopenApplication);

    QMenu* help = bar->addMenu(tr("&Help"));
    help->addAction(tr("Tessaro Pro Web Site"), this, &AppDelegate::linkWebSite);
    help->addAction(tr("About Tessaro Pro"), window, &MainWindowController::info);
}

void AppDelegate::applicationDidFinishLaunching() {
    RunCounter::resetAtLaunch();
    setAccountMenu(AccountActions::hasLogin());
    seedServiceUrls();
    QPixmapCache::clear();
    // In-process WebP decoding comes from Qt's image plugin; without it only the tools work.
    if (!QImageReader::supportedImageFormats().contains("webp"))
        qWarning().noquote() << "WebP image plugin not found: install qt6-image-formats-plugins";
    Settings::setValue(SettingsKeys::VisualizeMutuallyExclusiveConstraints, true);
}

void AppDelegate::seedServiceUrls() {
    if (!Settings::stringValue(SettingsKeys::UploadUrl).isEmpty())
        return;
    Settings::setValue(SettingsKeys::UploadUrl, QLatin1String(ProductLinks::UploadBaseUrl));
    Settings::setValue(SettingsKeys::DownloadUrl, QLatin1String(ProductLinks::DownloadBaseUrl));
}

void AppDelegate::openFiles(const QStringList& paths) {
    NotificationCenter::defaultCenter().post(QLatin1String(NotificationNames::DockDragFile), paths);
}

void AppDelegate::setAccountMenu(bool loggedIn) {
    QMenu* menu = accountMenu(mainMenu());
    if (menu == nullptr)
        return;
    for (QAction* action : menu->actions()) {
        // Found by name: their texts are translated.
        if (action->objectName() == QLatin1String("loginAction"))
            action->setVisible(!loggedIn);
        else if (action->objectName() == QLatin1String("logoutAction") ||
                 action->objectName() == QLatin1String("myProfileAction"))
            action->setVisible(loggedIn);
    }
}

void AppDelegate::chooseSavePath() {
    QString start = Settings::stringValue(SettingsKeys::SavePath);
    if (!QFileInfo(start).isDir())
        start.clear();
    const QString chosen = chooseDirectory ? chooseDirectory(mainWindow_, start) : QString();
    if (chosen.isEmpty())
        return;
    Settings::setValue(SettingsKeys::SavePath, chosen);
    qInfo().noquote() << chosen;
}

void AppDelegate::linkWebSite() {
    if (openUrl)
        openUrl(QUrl(QLatin1String(ProductLinks::WebSite)));
}

void AppDelegate::reopenApplication() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    QWidget* last = nullptr;
    for (QWidget* widget : windows) {
        if (widget->isWindow() && widget->isVisible() &&
            qobject_cast<QMainWindow*>(widget) != nullptr)
            last = widget;
    }
    if (last == nullptr)
        return;
    last->showNormal();
    last->raise();
    last->activateWindow();
}

void AppDelegate::doString(const QString& text) {
    qInfo().noquote() << text;
}
