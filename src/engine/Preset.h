#pragma once
#include "Aim.h"
#include "SaveResults.h"
#include "Vocabulary.h"

#include <QList>
#include <QString>

#include <optional>

// A named set of conversion choices that the window and the command line both apply. A choice
// a preset does not hold is left as it is when the preset is applied.
struct Preset {
    QString name;
    std::optional<ConvertMode> mode;
    std::optional<int> quality;            // per cent
    std::optional<qint64> targetSize;      // bytes: each result aims at this file size
    std::optional<Aim::Fidelity> fidelity; // each result aims at this visual fidelity
    std::optional<int> longestSide;        // pixels; 0: no limit
    std::optional<bool> lossless;
    std::optional<int> minimumSaving; // per cent
    std::optional<bool> keepMetadata;
    std::optional<bool> keepColorProfile;
    std::optional<bool> includeSubfolders;
    std::optional<bool> skipExisting;
    std::optional<SaveResults> saveResults;
    QString resultsFolder; // absolute; for SaveResults::Folder

    // What the preset aims at (a size, a fidelity, or else its quality); nothing when it holds
    // none of them.
    std::optional<Aim::Kind> aimKind() const;
    bool operator==(const Preset&) const = default;

    // The ones there are before anyone saved a preset.
    static QList<Preset> defaults();
    // The window's stored choices under name, and a preset written into them.
    static Preset fromPreferences(const QString& name);
    void applyToPreferences() const;
};

// The preset of that name in presets, or nothing.
const Preset* findPreset(const QList<Preset>& presets, const QString& name);
