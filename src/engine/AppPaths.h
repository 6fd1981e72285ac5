#pragma once
#include <QString>

// The application's private home (QStandardPaths::AppLocalDataLocation) and its Documents
// folder, where tools write temporary outputs and normalised copies.
namespace AppPaths {
QString privateHome();
// Created when first needed; empty when it cannot be created.
QString documentsDirectory();
// Folder of the bundled tools: ../share/tessaro-pro/tools from the running executable.
QString toolsDirectory();
} // namespace AppPaths
