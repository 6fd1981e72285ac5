#include "AppDelegate.h"

#include "AccountActions.h"
#include "DesktopIntegration.h"
#include "HomeView.h"
#include "MainWindow.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "Preferences.h"
#include "ProductLinks.h"
#include "RunNotifier.h"

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

void post(const char* name, const QVariant& object = {}) {
    NotificationCenter::defaultCenter().post(QLatin1String(name), object);
}

} // namespace

AppDelegate::AppDelegate(MainWindow* mainWindow, QObject* parent)
    : QObject(parent), mainWindow_(mainWindow) {
    chooseDirectory = directoryPanel;
    openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    buildMenus();
    wireNotifications();
    wireDesktop();
}

void AppDelegate::wireDesktop() {
    MainWindow* window = mainWindow_;
    HomeView* home = window->homeView();
    desktop_ = new DesktopIntegration(
        [this](const QString& folder) {
            if (openUrl)
                openUrl(QUrl::fromLocalFile(folder));
        },
        this);
    runNotifier_ = new RunNotifier(
        home->session(), desktop_, [window] { return window->isActiveWindow(); }, this);
    home->showFile = [desktop = desktop_](const QString& file) {
        if (desktop != nullptr)
            desktop->showInFolder(file);
    };
}

void AppDelegate::wireNotifications() {
    MainWindow* window = mainWindow_;
    HomeView* home = window->homeView();
    const QVariant windowObject = QVariant::fromValue<QObject*>(window);
    // What is posted.
    connect(window, &MainWindow::accountRequested, this,
            [windowObject] { post(NotificationNames::Account, windowObject); });
    connect(window->addFilesAction(), &QAction::triggered, this,
            [windowObject] { post(NotificationNames::AddFile, windowObject); });
    connect(window->addFolderAction(), &QAction::triggered, this,
            [windowObject] { post(NotificationNames::AddFile, windowObject); });
    connect(window->clearListAction(), &QAction::triggered, this,
            [windowObject] { post(NotificationNames::ClearFile, windowObject); });
    connect(window->infoAction(), &QAction::triggered, this,
            [windowObject] { post(NotificationNames::Info, windowObject); });
    connect(home, &HomeView::optionsClosed, this, [] { post(NotificationNames::RefreshOptions); });
    AccountEvents& account = AccountEvents::instance();
    connect(&account, &AccountEvents::loggedIn, this, [](QObject* loginWindow) {
        post(NotificationNames::LoginNotifi, QVariant::fromValue(loginWindow));
    });
    connect(&account, &AccountEvents::loggedOut, this,
            [](QObject* poster) { post(NotificationNames::LogOut, QVariant::fromValue(poster)); });
    connect(&account, &AccountEvents::loginWindowClosed, this, [](QObject* loginWindow) {
        post(NotificationNames::ChangeRatios, QVariant::fromValue(loginWindow));
    });
    // What is observed.
    auto& center = NotificationCenter::defaultCenter();
    center.observe(QLatin1String(NotificationNames::Account), this,
                   [window](const QVariant&) { AccountActions::account(window); });
    center.observe(QLatin1String(NotificationNames::DockDragFile), this,
                   [home](const QVariant& object) { home->openFiles(object.toStringList()); });
    center.observe(QLatin1String(NotificationNames::RefreshOptions), this,
                   [home](const QVariant&) { home->refreshOptions(); });
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
    MainWindow* window = mainWindow_;

    QMenu* file = bar->addMenu(tr("&File"));
    // The window's own actions, so each shortcut has one owner and follows the busy state.
    file->addAction(window->addFilesAction());
    file->addAction(window->addFolderAction());
    file->addAction(window->clearListAction());
    file->addSeparator();
    file->addAction(window->optionsAction());
    file->addAction(tr("Choose Download Folder…"), this, &AppDelegate::chooseSavePath);
    file->addSeparator();
    file->addAction(tr("Quit"), QKeySequence::Quit, qApp, &QApplication::closeAllWindows);

    QMenu* edit = bar->addMenu(tr("&Edit"));
    edit->addAction(tr("Log Clipboard Text"), this,
                    [] { logText(QGuiApplication::clipboard()->text()); });

    QMenu* account = bar->addMenu(tr("Account"));
    account->setObjectName(QStringLiteral("accountMenu"));
    loginAction_ =
        account->addAction(tr("Login"), this, [window] { AccountActions::loginModal(window); });
    myProfileAction_ =
        account->addAction(tr("My Profile"), this, [window] { AccountActions::myProfile(window); });
    logoutAction_ =
        account->addAction(tr("Logout"), this, [this] { AccountActions::logOut(this); });

    QMenu* windowMenu = bar->addMenu(tr("&Window"));
    windowMenu->addAction(QStringLiteral("Tessaro Pro"), this, &AppDelegate::reopenApplication);

    QMenu* help = bar->addMenu(tr("&Help"));
    help->addAction(tr("Tessaro Pro Web Site"), this, &AppDelegate::linkWebSite);
    help->addAction(tr("About Tessaro Pro"), window->homeView(), &HomeView::showInfo);
}

void AppDelegate::finishLaunching() {
    Preferences& preferences = Preferences::instance();
    preferences.setConvertCount(0); // the rating invitation counts runs of this launch
    setAccountMenu(AccountActions::hasLogin());
    preferences.seedServiceUrls(QLatin1String(ProductLinks::UploadBaseUrl),
                                QLatin1String(ProductLinks::DownloadBaseUrl));
    QPixmapCache::clear();
    // In-process WebP decoding comes from Qt's image plugin; without it only the tools work.
    if (!QImageReader::supportedImageFormats().contains("webp"))
        qWarning().noquote() << "WebP image plugin not found: install qt6-image-formats-plugins";
    preferences.setLayoutVisualisation(true);
}

void AppDelegate::openFiles(const QStringList& paths, const QString& target) {
    if (!target.isEmpty() && mainWindow_ != nullptr) {
        mainWindow_->homeView()->convertFiles(paths, target);
        return;
    }
    if (!paths.isEmpty())
        NotificationCenter::defaultCenter().post(QLatin1String(NotificationNames::DockDragFile),
                                                 paths);
}

void AppDelegate::setAccountMenu(bool loggedIn) {
    if (loginAction_ == nullptr)
        return;
    loginAction_->setVisible(!loggedIn);
    myProfileAction_->setVisible(loggedIn);
    logoutAction_->setVisible(loggedIn);
}

void AppDelegate::chooseSavePath() {
    QString start = Preferences::instance().savePath();
    if (!QFileInfo(start).isDir())
        start.clear();
    const QString chosen = chooseDirectory ? chooseDirectory(mainWindow_, start) : QString();
    if (chosen.isEmpty())
        return;
    Preferences::instance().setSavePath(chosen);
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

void AppDelegate::logText(const QString& text) {
    qInfo().noquote() << text;
}
