#include "Preset.h"

#include "Preferences.h"

std::optional<Aim::Kind> Preset::aimKind() const {
    if (targetSize)
        return Aim::Kind::FileSize;
    if (fidelity)
        return Aim::Kind::Fidelity;
    if (quality)
        return Aim::Kind::Quality;
    return std::nullopt;
}

QList<Preset> Preset::defaults() {
    // Complete in how images are encoded, so one applied after another leaves nothing of it;
    // where the results go and which files are taken stay the user's.
    Preset web;
    web.name = QStringLiteral("Web");
    web.mode = ConvertMode::ImageToWebp;
    web.quality = 80;
    web.longestSide = 2048;
    web.lossless = false;
    web.minimumSaving = 0;
    web.keepMetadata = false;
    web.keepColorProfile = true;
    Preset archive = web;
    archive.name = QStringLiteral("Archive");
    archive.quality = 100; // for lossless WebP: the most effort, the smallest file
    archive.longestSide = 0;
    archive.lossless = true;
    archive.keepMetadata = true;
    Preset share = web;
    share.name = QStringLiteral("Share");
    share.mode = ConvertMode::WebpToJpg;
    share.quality = 85;
    share.longestSide = 1600;
    return {web, archive, share};
}

Preset Preset::fromPreferences(const QString& name) {
    const Preferences& stored = Preferences::instance();
    Preset preset;
    preset.name = name;
    preset.mode = stored.mode();
    preset.quality = stored.quality();
    if (stored.aimKind() == Aim::Kind::FileSize)
        preset.targetSize = stored.targetFileSize();
    if (stored.aimKind() == Aim::Kind::Fidelity)
        preset.fidelity = stored.targetFidelity();
    preset.longestSide = stored.longestSide();
    preset.lossless = stored.lossless();
    preset.minimumSaving = stored.minimumSaving();
    preset.keepMetadata = stored.keepMetadata();
    preset.keepColorProfile = stored.keepColorProfiles();
    preset.includeSubfolders = stored.includeSubfolders();
    preset.skipExisting = stored.skipExistingResults();
    preset.saveResults = stored.saveResults();
    if (preset.saveResults == SaveResults::Folder)
        preset.resultsFolder = stored.resultsFolder();
    return preset;
}

void Preset::applyToPreferences() const {
    Preferences& stored = Preferences::instance();
    if (mode)
        stored.setMode(*mode);
    if (quality)
        stored.setQuality(*quality);
    if (targetSize)
        stored.setTargetFileSize(*targetSize);
    if (fidelity)
        stored.setTargetFidelity(*fidelity);
    if (const std::optional<Aim::Kind> kind = aimKind())
        stored.setAimKind(*kind);
    if (longestSide)
        stored.setLongestSide(*longestSide);
    if (lossless)
        stored.setLossless(*lossless);
    if (minimumSaving)
        stored.setMinimumSaving(*minimumSaving);
    if (keepMetadata)
        stored.setKeepMetadata(*keepMetadata);
    if (keepColorProfile)
        stored.setKeepColorProfiles(*keepColorProfile);
    if (includeSubfolders)
        stored.setIncludeSubfolders(*includeSubfolders);
    if (skipExisting)
        stored.setSkipExistingResults(*skipExisting);
    if (saveResults == SaveResults::Folder)
        stored.setResultsFolder(resultsFolder);
    if (saveResults)
        stored.setSaveResults(*saveResults);
}

const Preset* findPreset(const QList<Preset>& presets, const QString& name) {
    for (const Preset& preset : presets) {
        if (preset.name == name)
            return &preset;
    }
    return nullptr;
}
