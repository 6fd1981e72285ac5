#pragma once
#include "Preset.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The one presets file of the window and the command line, meant to be read and written by
// hand as well: "# comments", a "[Name]" line opening each preset, then "setting = value"
// lines. Its format is documented in tessaro-convert(1).
namespace PresetFile {

// $XDG_CONFIG_HOME/tessaro/presets.conf, whichever program asks.
QString path();

struct Contents {
    QList<Preset> presets;
    QString error; // naming the file and the line; then presets is empty
};

// The presets text holds; fileName is what errors name.
Contents parse(const QByteArray& text, const QString& fileName);
QByteArray format(const QList<Preset>& presets);

// The presets of path(), or the defaults while it does not exist.
Contents load();
// Replaces path() with presets as a whole (never a half-written file); false with why,
// naming the file.
bool save(const QList<Preset>& presets, QString* why);

} // namespace PresetFile
