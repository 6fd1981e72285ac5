#pragma once
#include "Preset.h"

#include <QCommandLineOption>
#include <QList>
#include <QString>

#include <optional>

class QCommandLineParser;
struct CliOptions;

// --preset NAME and --list-presets: the window's stored presets on the command line. A preset
// stands for the flags of what it holds, where it stands: a flag given after it overrides it,
// one given before it is overridden.
namespace PresetArguments {
QList<QCommandLineOption> options();
bool listRequested(const QCommandLineParser& parser);

struct Chosen {
    std::optional<Preset> preset; // nothing without --preset
    QString error;                // a usage error's one line
};
// The preset --preset names, from the presets file.
Chosen choose(const QCommandLineParser& parser);
// The target in effect: --to given after the preset, else the preset's, else --to ("" none).
QString target(const QCommandLineParser& parser, const Chosen& chosen);
// Writes what the preset holds into options, except what flags after --preset set.
void apply(const QCommandLineParser& parser, const Chosen& chosen, CliOptions* options);

// Prints the presets on stdout in the file's own format; the exit status.
int list();
} // namespace PresetArguments
