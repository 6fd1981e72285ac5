#pragma once
#include <QIcon>

// Line icons for the toolbar, drawn by us so the window looks the same on every desktop.
namespace ToolbarIcons {
QIcon addFiles();
QIcon addFolder();
QIcon clearList();
QIcon info();
QIcon account();
QIcon options();
} // namespace ToolbarIcons
