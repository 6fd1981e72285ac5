#pragma once
#include "HomeView.h"

#include <QAction>
#include <QMainWindow>
#include <QPointer>
#include <QToolBar>

// The main window: the toolbar on top, the home view as content. Toolbar items reach the home
// view's actions; Account is the shell's business and only requested here. Each action, and so
// each shortcut, exists once: the menu bar shows these same actions.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    HomeView* homeView() const { return home_; }
    QToolBar* toolbar() const { return toolbar_; }
    QAction* addFilesAction() const { return addFilesAction_; }
    QAction* addFolderAction() const { return addFolderAction_; }
    QAction* clearListAction() const { return clearListAction_; }
    QAction* infoAction() const { return infoAction_; }
    QAction* accountAction() const { return accountAction_; }
    // Not on the toolbar: the menu bar shows it. Disabled while a run or an intake is going.
    QAction* optionsAction() const { return optionsAction_; }

Q_SIGNALS:
    void accountRequested();

private:
    void buildToolbar();
    void followBusyState();

    QPointer<HomeView> home_;
    QPointer<QToolBar> toolbar_;
    QPointer<QAction> addFilesAction_;
    QPointer<QAction> addFolderAction_;
    QPointer<QAction> clearListAction_;
    QPointer<QAction> infoAction_;
    QPointer<QAction> accountAction_;
    QPointer<QAction> optionsAction_;
};
