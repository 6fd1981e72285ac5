#include "PresetArguments.h"

#include "CliOptions.h"
#include "ConsoleOutput.h"
#include "ConvertCommand.h"
#include "ModeTable.h"
#include "PresetFile.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <initializer_list>

namespace PresetArguments {
namespace {

const QString PresetOption = QStringLiteral("preset");
const QString ListOption = QStringLiteral("list-presets");

// Whether one of the flags comes after the last --preset; the parser lists every option it
// met in order, each under the name it was given by.
bool givenAfterPreset(const QCommandLineParser& parser, std::initializer_list<const char*> flags) {
    const QStringList order = parser.optionNames();
    for (qsizetype i = order.lastIndexOf(PresetOption) + 1; i < order.size(); ++i) {
        for (const char* flag : flags) {
            if (order[i] == QLatin1String(flag))
                return true;
        }
    }
    return false;
}

} // namespace

QList<QCommandLineOption> options() {
    return {QCommandLineOption(PresetOption, {}, QStringLiteral("NAME")),
            QCommandLineOption(ListOption)};
}

bool listRequested(const QCommandLineParser& parser) {
    return parser.isSet(ListOption);
}

Chosen choose(const QCommandLineParser& parser) {
    if (!parser.isSet(PresetOption))
        return {};
    const QString name = parser.value(PresetOption);
    const PresetFile::Contents contents = PresetFile::load();
    if (!contents.error.isEmpty())
        return {std::nullopt, contents.error};
    if (const Preset* preset = findPreset(contents.presets, name))
        return {*preset, {}};
    return {std::nullopt, QStringLiteral("No preset named '%1' in %2; --list-presets shows them.")
                              .arg(name, PresetFile::path())};
}

QString target(const QCommandLineParser& parser, const Chosen& chosen) {
    if (chosen.preset && chosen.preset->mode && !givenAfterPreset(parser, {"t", "to"}))
        return QLatin1String(ModeTable::traits(*chosen.preset->mode).target);
    return parser.value(QStringLiteral("to"));
}

void apply(const QCommandLineParser& parser, const Chosen& chosen, CliOptions* options) {
    if (!chosen.preset)
        return;
    const Preset& preset = *chosen.preset;
    RunOptions& run = options->run;
    // The quality and the aims are one choice: any of them after the preset replaces all.
    if (!givenAfterPreset(parser, {"q", "quality", "target-size", "target-ssim", "lossless"})) {
        run.quality = preset.quality.value_or(run.quality);
        if (const std::optional<Aim::Kind> kind = preset.aimKind()) {
            run.aim.kind = *kind;
            run.aim.targetBytes = preset.targetSize.value_or(0);
            run.aim.targetSsim = preset.fidelity ? Aim::ssimOf(*preset.fidelity) : 0;
        }
        run.aim.lossless = preset.lossless.value_or(run.aim.lossless);
    }
    if (!givenAfterPreset(parser, {"max-side"}))
        run.aim.maxSide = preset.longestSide.value_or(run.aim.maxSide);
    if (!givenAfterPreset(parser, {"min-saving"}))
        run.aim.minSavingPercent = preset.minimumSaving.value_or(run.aim.minSavingPercent);
    if (!givenAfterPreset(parser, {"keep-metadata"}))
        run.keepMetadata = preset.keepMetadata.value_or(run.keepMetadata);
    if (!givenAfterPreset(parser, {"strip-profile"}))
        run.keepColorProfiles = preset.keepColorProfile.value_or(run.keepColorProfiles);
    if (!givenAfterPreset(parser, {"r", "recursive"}))
        options->recursive = preset.includeSubfolders.value_or(options->recursive);
    if (!givenAfterPreset(parser, {"skip-existing"}))
        run.skipExisting = preset.skipExisting.value_or(run.skipExisting);
    // "Ask each time" has no meaning here: the output stays as given.
    if (!givenAfterPreset(parser, {"o", "output", "next-to-source"}) && preset.saveResults &&
        preset.saveResults != SaveResults::Ask) {
        run.nextToSource = preset.saveResults == SaveResults::NextToSource;
        if (!run.nextToSource)
            run.outputDirectory = preset.resultsFolder;
    }
}

int list() {
    const PresetFile::Contents contents = PresetFile::load();
    if (!contents.error.isEmpty()) {
        ConsoleOutput::printError(contents.error);
        return ConvertCommand::ExitUsage;
    }
    const QString file = PresetFile::path();
    ConsoleOutput::writeStdout(
        QStringLiteral("# %1%2\n")
            .arg(file, QFileInfo::exists(file)
                           ? QString()
                           : QStringLiteral(" (not written yet: the defaults)")));
    ConsoleOutput::writeStdout(PresetFile::format(contents.presets));
    return ConvertCommand::ExitConverted;
}

} // namespace PresetArguments
