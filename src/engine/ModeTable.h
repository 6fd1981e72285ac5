#pragma once
#include "Vocabulary.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <span>

// What each conversion means, in one table that intake, engine, window and command line read:
// adding a mode is one row.
struct ModeTraits {
    ConvertMode mode;
    std::span<const char* const> inputExtensions; // exact, case-sensitive
    std::span<const char* const> panelFileTypes;  // what the open panel filters by
    const char* outputExtension;
    const char* tool;
    const char* target;   // the command line's --to value that takes this mode
    bool toolEncodes;     // the tool encodes WebP (and takes the quality); else it decodes
    bool qualityApplies;  // false: lossless results, the quality does not matter
    bool mayCopyForTool;  // a source the tool cannot read gets a lossless copy first
    bool carriesMetadata; // the source's profile and EXIF/XMP can be read and carried
    bool aimsPerImage;    // file size and fidelity aims apply: a still, lossy result
    bool losslessApplies; // "lossless" changes what the tool does
};

namespace ModeTable {
const std::array<ModeTraits, 4>& all();
const ModeTraits& traits(ConvertMode mode);
// The stored "Format" number as a mode; nothing for a number outside the table.
std::optional<ConvertMode> fromNumber(qint64 number);
// The modes a command line target ("webp", "jpg", "png") takes, in matching order.
QList<ConvertMode> modesForTarget(const QString& target);
bool takesExtension(ConvertMode mode, const QString& extension);
// The first of modes that takes the extension, or nothing.
std::optional<ConvertMode> modeForExtension(const QString& extension,
                                            const QList<ConvertMode>& modes);
// Every extension the modes take, each once, in table order.
QStringList extensionsOf(const QList<ConvertMode>& modes);
QStringList panelFileTypes(ConvertMode mode);
QString outputExtension(ConvertMode mode);
QString tool(ConvertMode mode);
} // namespace ModeTable
