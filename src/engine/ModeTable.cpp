#include "ModeTable.h"

namespace {

constexpr const char* WebpExtensions[] = {"webp", "WEBP"};
constexpr const char* StillExtensions[] = {"png", "jpg", "jpeg", "PNG", "JPG", "JPEG"};
constexpr const char* GifExtensions[] = {"gif", "GIF"};
constexpr const char* WebpPanel[] = {"webp"};
constexpr const char* StillPanel[] = {"jpg", "png", "jpeg"};
constexpr const char* GifPanel[] = {"gif"};

// GIF sources carry no profile or metadata the reader understands; gif2webp's results are
// lossless unless told otherwise, and an animation has no one quality to aim with.
constexpr std::array<ModeTraits, 4> Table{{
    // mode, inputs, panel, output, tool, target, encodes, quality, copies, metadata, aims,
    // lossless
    {ConvertMode::WebpToJpg, WebpExtensions, WebpPanel, "jpg", "dwebp", "jpg", false, true, false,
     true, true, false},
    {ConvertMode::WebpToPng, WebpExtensions, WebpPanel, "png", "dwebp", "png", false, false, false,
     true, false, false},
    {ConvertMode::ImageToWebp, StillExtensions, StillPanel, "webp", "cwebp", "webp", true, true,
     true, true, true, true},
    {ConvertMode::GifToWebp, GifExtensions, GifPanel, "webp", "gif2webp", "webp", true, true, false,
     false, false, false},
}};

QStringList toStrings(std::span<const char* const> items) {
    QStringList list;
    for (const char* item : items)
        list.append(QLatin1String(item));
    return list;
}

} // namespace

namespace ModeTable {

const std::array<ModeTraits, 4>& all() {
    return Table;
}

const ModeTraits& traits(ConvertMode mode) {
    for (const ModeTraits& row : Table) {
        if (row.mode == mode)
            return row;
    }
    return Table.front(); // unreachable for a value of the enum
}

std::optional<ConvertMode> fromNumber(qint64 number) {
    for (const ModeTraits& row : Table) {
        if (static_cast<qint64>(row.mode) == number)
            return row.mode;
    }
    return std::nullopt;
}

QList<ConvertMode> modesForTarget(const QString& target) {
    QList<ConvertMode> modes;
    for (const ModeTraits& row : Table) {
        if (target == QLatin1String(row.target))
            modes.append(row.mode);
    }
    return modes;
}

bool takesExtension(ConvertMode mode, const QString& extension) {
    for (const char* accepted : traits(mode).inputExtensions) {
        if (extension == QLatin1String(accepted))
            return true;
    }
    return false;
}

std::optional<ConvertMode> modeForExtension(const QString& extension,
                                            const QList<ConvertMode>& modes) {
    for (ConvertMode mode : modes) {
        if (takesExtension(mode, extension))
            return mode;
    }
    return std::nullopt;
}

QStringList extensionsOf(const QList<ConvertMode>& modes) {
    QStringList extensions;
    for (ConvertMode mode : modes) {
        for (const QString& extension : toStrings(traits(mode).inputExtensions)) {
            if (!extensions.contains(extension))
                extensions.append(extension);
        }
    }
    return extensions;
}

QStringList panelFileTypes(ConvertMode mode) {
    return toStrings(traits(mode).panelFileTypes);
}

QString outputExtension(ConvertMode mode) {
    return QLatin1String(traits(mode).outputExtension);
}

QString tool(ConvertMode mode) {
    return QLatin1String(traits(mode).tool);
}

} // namespace ModeTable
