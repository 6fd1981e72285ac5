#include "MainWindow.h"

#include "ControlDescriptions.h"
#include "HomeView.h"
#include "Theme.h"
#include "ToolbarIcons.h"

#include <QAction>
#include <QToolBar>

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Tessaro Pro"));
    resize(1000, 680);
    setMinimumSize(760, 480);
    setUnifiedTitleAndToolBarOnMac(true);
    home_ = new HomeView(this);
    setCentralWidget(home_);
    buildToolbar();
    followBusyState();
    ControlDescriptions::describeToolbar(this);
}

void MainWindow::followBusyState() {
    // While a run is going the list only takes what it already has.
    connect(home_, &HomeView::busyChanged, this, [this] {
        const bool running = home_->session()->isRunning();
        addFilesAction_->setEnabled(!running);
        addFolderAction_->setEnabled(!running);
        clearListAction_->setEnabled(!running);
    });
    connect(home_, &HomeView::optionsAvailableChanged, optionsAction_, &QAction::setEnabled);
}

void MainWindow::buildToolbar() {
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

    addFilesAction_ = toolbar_->addAction(ToolbarIcons::addFiles(), tr("Add Files"));
    addFilesAction_->setObjectName(QStringLiteral("addFilesAction"));
    addFilesAction_->setShortcut(QKeySequence::Open);
    addFolderAction_ = toolbar_->addAction(ToolbarIcons::addFolder(), tr("Add Folder"));
    addFolderAction_->setObjectName(QStringLiteral("addFolderAction"));
    clearListAction_ = toolbar_->addAction(ToolbarIcons::clearList(), tr("Clear"));
    clearListAction_->setObjectName(QStringLiteral("clearListAction"));
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

    connect(addFilesAction_, &QAction::triggered, home_, &HomeView::addFiles);
    connect(addFolderAction_, &QAction::triggered, home_, &HomeView::addFolder);
    connect(clearListAction_, &QAction::triggered, home_, &HomeView::clearList);
    connect(infoAction_, &QAction::triggered, home_, &HomeView::showInfo);
    connect(accountAction_, &QAction::triggered, this, &MainWindow::accountRequested);
}
