#pragma once
#include <QString>

// The application's private home (QStandardPaths::AppLocalDataLocation) and its Documents
// folder, where tools write temporary outputs and normalised copies.
namespace AppPaths {
QString privateHome();
// Creates the private home (mode 0700) or repairs the modes an existing one has, so its
// session file and work files stay this user's only. False, with why set, when the home is
// not a folder this user alone controls.
bool preparePrivateHome(QString* why = nullptr);
// Created (mode 0700) when first needed; empty when it cannot be created.
QString documentsDirectory();
// Folder of the bundled tools: ../share/tessaro-pro/tools from the running executable.
QString toolsDirectory();
} // namespace AppPaths
