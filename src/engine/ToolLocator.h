#pragma once
#include <QString>

// Picks the build of a bundled tool for this processor.
namespace ToolLocator {
// "M1" on ARM and ARM64 hosts (logging "CPU_TYPE_ARM" / "CPU_TYPE_ARM64"), "" otherwise.
QString getCPUType();
// "cwebp" on ARM, "cwebp-x8664" otherwise.
QString executableName(const QString& tool);
// Tool name for a conversion mode, or "" for a mode outside 0..3.
QString toolForMode(qint64 mode);
} // namespace ToolLocator
