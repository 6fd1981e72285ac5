#pragma once
#include "HomeViewController.h"

#include <QAction>
#include <QMainWindow>
#include <QPointer>
#include <QToolBar>

// The main window: the toolbar on top, the home view as content. Toolbar items post their
// notification ("AddFile", "ClearFile", "Info", "Account") and reach the home view's actions.
// Each action, and so each shortcut, exists once: the menu bar shows these same actions.
class MainWindowController : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindowController(QWidget* parent = nullptr);

    HomeViewController* homeViewController() const { return home_; }
    QToolBar* toolbar() const { return toolbar_; }
    QAction* addFileAction() const { return addFileAction_; }
    QAction* addFolderAction() const { return addFolderAction_; }
    QAction* clearFileAction() const { return clearFileAction_; }
    QAction* infoAction() const { return infoAction_; }
    QAction* accountAction() const { return accountAction_; }
    // Not on the toolbar: the menu bar shows it. Disabled while a run or an intake is going.
    QAction* optionsAction() const { return optionsAction_; }

    void addFile();
    void addFolder();
    void clearFile();
    void info();
    void account();

private:
    void windowDidLoad();
    void buildToolbar();
    void post(const char* name);

    QPointer<HomeViewController> home_;
    QPointer<QToolBar> toolbar_;
    QPointer<QAction> addFileAction_;
    QPointer<QAction> addFolderAction_;
    QPointer<QAction> clearFileAction_;
    QPointer<QAction> infoAction_;
    QPointer<QAction> accountAction_;
    QPointer<QAction> optionsAction_;
};
