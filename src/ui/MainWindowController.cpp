#include "MainWindowController.h"

#include "ControlDescriptions.h"
#include "HomeViewController.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "Theme.h"
#include "ToolbarIcons.h"

#include <QAction>
#include <QToolBar>

MainWindowController::MainWindowController(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("mainWindow"));
    resize(1000, 680);
    setMinimumSize(760, 480);
    setUnifiedTitleAndToolBarOnMac(true);
    buildToolbar();
    home_ = new HomeViewController(this);
    setCentralWidget(home_);
    windowDidLoad();
    ControlDescriptions::describeToolbar(this);
}

void MainWindowController::windowDidLoad() {
    setWindowTitle(QStringLiteral("Tessaro Pro"));
    // While a run or an intake is going the list only takes what it already has.
    connect(home_, &HomeViewController::busyChanged, this, [this](bool) {
        const bool running = home_->isRunning();
        addFileAction_->setEnabled(!running);
        addFolderAction_->setEnabled(!running);
        clearFileAction_->setEnabled(!running);
    });
    connect(home_, &HomeViewController::optionsAvailableChanged, optionsAction_,
            &QAction::setEnabled);
}

void MainWindowController::buildToolbar() {
    toolbar_ = addToolBar(tr("Main"));
    toolbar_->setObjectName(QStringLiteral("toolbar"));
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setIconSize(QSize(Theme::em(1.25), Theme::em(1.25)));
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolbar_->setContextMenuPolicy(Qt::PreventContextMenu);
    toolbar_->setStyleSheet(
        QStringLiteral("QToolBar { background: %1; border: none; border-bottom: 1px solid %2;"
                       " padding: 0.35em 0.6em; spacing: 0.25em; }"
                       "QToolButton { padding: 0.3em 0.6em; border-radius: 0.4em; color: %3; }"
                       "QToolButton:hover { background: %4; }"
                       "QToolButton:pressed { background: %2; }"
                       "QToolButton:disabled { color: %5; }")
            .arg(Theme::surface().name(), Theme::separator().name(), Theme::text().name(),
                 Theme::hover().name(), Theme::disabledText().name()));

    addFileAction_ = toolbar_->addAction(ToolbarIcons::addFiles(), tr("Add Files"));
    addFileAction_->setObjectName(QStringLiteral("addFileAction"));
    addFileAction_->setShortcut(QKeySequence::Open);
    addFolderAction_ = toolbar_->addAction(ToolbarIcons::addFolder(), tr("Add Folder"));
    addFolderAction_->setObjectName(QStringLiteral("addFolderAction"));
    clearFileAction_ = toolbar_->addAction(ToolbarIcons::clearList(), tr("Clear"));
    clearFileAction_->setObjectName(QStringLiteral("clearFileAction"));
    auto* spacer = new QWidget(toolbar_);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    spacer->setAttribute(Qt::WA_TranslucentBackground);
    toolbar_->addWidget(spacer);
    infoAction_ = toolbar_->addAction(ToolbarIcons::info(), tr("Info"));
    infoAction_->setObjectName(QStringLiteral("infoAction"));
    accountAction_ = toolbar_->addAction(ToolbarIcons::account(), tr("Account"));
    accountAction_->setObjectName(QStringLiteral("accountAction"));

    optionsAction_ = new QAction(ToolbarIcons::options(), tr("Options…"), this);
    optionsAction_->setObjectName(QStringLiteral("optionsAction"));
    connect(optionsAction_, &QAction::triggered, this, [this] { home_->showOptions(); });

    connect(addFileAction_, &QAction::triggered, this, &MainWindowController::addFile);
    connect(addFolderAction_, &QAction::triggered, this, &MainWindowController::addFolder);
    connect(clearFileAction_, &QAction::triggered, this, &MainWindowController::clearFile);
    connect(infoAction_, &QAction::triggered, this, &MainWindowController::info);
    connect(accountAction_, &QAction::triggered, this, &MainWindowController::account);
}

void MainWindowController::post(const char* name) {
    NotificationCenter::defaultCenter().post(QLatin1String(name),
                                             QVariant::fromValue<QObject*>(this));
}

void MainWindowController::addFile() {
    post(NotificationNames::AddFile);
    home_->addFile();
}

void MainWindowController::addFolder() {
    post(NotificationNames::AddFile);
    home_->addFolder();
}

void MainWindowController::clearFile() {
    post(NotificationNames::ClearFile);
    home_->clearFile();
}

void MainWindowController::info() {
    post(NotificationNames::Info);
    home_->info();
}

void MainWindowController::account() {
    // The home view observes "Account" and opens the account window.
    post(NotificationNames::Account);
}
