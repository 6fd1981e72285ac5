#pragma once
#include "Aim.h"
#include "SaveResults.h"
#include "Vocabulary.h"

#include <QObject>
#include <QString>

// The user's choices, typed, and the only code that reads or writes the settings store. Every
// read asks the store and every write is flushed at once, so what one window writes is what
// the next reader gets; the stored keys and value formats are those of earlier releases.
class Preferences : public QObject {
    Q_OBJECT
public:
    static Preferences& instance();

    // A stored number outside the mode table reads as WebP to JPG.
    ConvertMode mode() const;
    void setMode(ConvertMode mode);
    // Whole per cent, 0..100; nothing stored (or a stored 0) reads as the default.
    int quality() const;
    void setQuality(int percent);
    static constexpr int DefaultQuality = 90;

    bool includeSubfolders() const;
    void setIncludeSubfolders(bool on);
    bool skipExistingResults() const;
    void setSkipExistingResults(bool on);
    bool keepColorProfiles() const;
    void setKeepColorProfiles(bool on);
    bool keepMetadata() const;
    void setKeepMetadata(bool on);

    // What the window's "Size and quality" group aims at; measuring is the command line's.
    Aim aim() const;
    Aim::Kind aimKind() const;
    void setAimKind(Aim::Kind kind);
    qint64 targetFileSize() const; // bytes; 200 kB when none is stored
    void setTargetFileSize(qint64 bytes);
    Aim::Fidelity targetFidelity() const;
    void setTargetFidelity(Aim::Fidelity fidelity);
    int longestSide() const;
    void setLongestSide(int pixels);
    bool lossless() const;
    void setLossless(bool on);
    int minimumSaving() const;
    void setMinimumSaving(int percent);

    // Where the window's runs put their results; a stored folder for SaveResults::Folder.
    SaveResults saveResults() const;
    void setSaveResults(SaveResults place);
    QString resultsFolder() const;
    void setResultsFolder(const QString& folder);

    qint64 convertCount() const;
    void setConvertCount(qint64 count);
    QString savePath() const;
    void setSavePath(const QString& path);
    // The service addresses are written once, on the first launch.
    void seedServiceUrls(const QString& uploadUrl, const QString& downloadUrl);
    QString username() const;
    void setUsername(const QString& username);
    // A failed login forgets the password and keeps the status it failed with.
    void recordLoginFailure(int status);
    void setLayoutVisualisation(bool on);

    // The quality as the store holds it: "0.856" is 85 %.
    static int qualityFromStoredText(const QString& text);
    static QString storedTextOfQuality(int percent);

Q_SIGNALS:
    void modeChanged(ConvertMode mode);
    void qualityChanged(int percent);
    void includeSubfoldersChanged(bool on);
    void skipExistingResultsChanged(bool on);
    void keepColorProfilesChanged(bool on);
    void keepMetadataChanged(bool on);
    // Any part of the aim changed.
    void aimChanged();
    void saveResultsChanged();

private:
    Preferences() = default;
};
