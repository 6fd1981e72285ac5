#pragma once
#include <QIcon>

// Line icons for the toolbar, drawn as vectors at any size in the palette's text colour.
namespace ToolbarIcons {
QIcon addFiles();
QIcon addFolder();
QIcon clearList();
QIcon info();
QIcon account();
QIcon options();
} // namespace ToolbarIcons
