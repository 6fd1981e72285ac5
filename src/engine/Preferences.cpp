#include "Preferences.h"

#include "ModeTable.h"
#include "SettingsKeys.h"

#include <QSettings>

#include <algorithm>
#include <cmath>

namespace {

QVariant stored(const char* key) {
    return QSettings().value(QLatin1String(key));
}

void store(const char* key, const QVariant& value) {
    QSettings settings;
    settings.setValue(QLatin1String(key), value);
    settings.sync();
}

// A leading number as the store's text conversions read it: "85abc" is 85, "x" is 0.
QString leadingNumber(const QString& text, bool allowFraction) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+'))
        ++i;
    bool seenDot = false;
    while (i < t.size() && (t[i].isDigit() || (allowFraction && !seenDot && t[i] == u'.'))) {
        seenDot = seenDot || t[i] == u'.';
        ++i;
    }
    return t.left(i);
}

qint64 storedInteger(const char* key) {
    const QVariant value = stored(key);
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
        return static_cast<qint64>(value.toDouble());
    return leadingNumber(value.toString(), false).toLongLong();
}

bool storedBool(const char* key, bool whenMissing) {
    const QVariant value = stored(key);
    return value.isValid() ? value.toBool() : whenMissing;
}

// Writes and announces only a real change.
template <typename T, typename Signal>
void change(Preferences* self, const char* key, T now, T before, const QVariant& value,
            Signal signal) {
    store(key, value);
    if (now != before)
        Q_EMIT(self->*signal)(now);
}

} // namespace

Preferences& Preferences::instance() {
    static Preferences preferences;
    return preferences;
}

ConvertMode Preferences::mode() const {
    return ModeTable::fromNumber(storedInteger(SettingsKeys::Format))
        .value_or(ConvertMode::WebpToJpg);
}

void Preferences::setMode(ConvertMode mode) {
    change(this, SettingsKeys::Format, mode, this->mode(),
           QString::number(static_cast<qint64>(mode)), &Preferences::modeChanged);
}

int Preferences::qualityFromStoredText(const QString& text) {
    // The slider stored thousandths: count in those, so "0.29" is 29 % and not 28.999.
    const double fraction = leadingNumber(text, true).toDouble();
    const qint64 thousandths = std::llround(fraction * 1000.0);
    if (thousandths == 0)
        return DefaultQuality;
    return static_cast<int>(std::clamp<qint64>(thousandths / 10, 0, 100));
}

QString Preferences::storedTextOfQuality(int percent) {
    return QString::number(qBound(0, percent, 100) / 100.0);
}

int Preferences::quality() const {
    return qualityFromStoredText(stored(SettingsKeys::CompressionRatio).toString());
}

void Preferences::setQuality(int percent) {
    change(this, SettingsKeys::CompressionRatio, qBound(0, percent, 100), quality(),
           storedTextOfQuality(percent), &Preferences::qualityChanged);
}

bool Preferences::includeSubfolders() const {
    return storedBool(SettingsKeys::IncludeSubfolders, false);
}

void Preferences::setIncludeSubfolders(bool on) {
    change(this, SettingsKeys::IncludeSubfolders, on, includeSubfolders(), on,
           &Preferences::includeSubfoldersChanged);
}

bool Preferences::skipExistingResults() const {
    return storedBool(SettingsKeys::SkipExistingResults, false);
}

void Preferences::setSkipExistingResults(bool on) {
    change(this, SettingsKeys::SkipExistingResults, on, skipExistingResults(), on,
           &Preferences::skipExistingResultsChanged);
}

bool Preferences::keepColorProfiles() const {
    return storedBool(SettingsKeys::KeepColorProfiles, true);
}

void Preferences::setKeepColorProfiles(bool on) {
    change(this, SettingsKeys::KeepColorProfiles, on, keepColorProfiles(), on,
           &Preferences::keepColorProfilesChanged);
}

bool Preferences::keepMetadata() const {
    return storedBool(SettingsKeys::KeepMetadata, false);
}

void Preferences::setKeepMetadata(bool on) {
    change(this, SettingsKeys::KeepMetadata, on, keepMetadata(), on,
           &Preferences::keepMetadataChanged);
}

namespace {

const char* const AimKindNames[] = {"Quality", "FileSize", "Fidelity"};
const char* const FidelityNames[] = {"VeryHigh", "High", "Good"};
const char* const SaveResultsNames[] = {"Ask", "NextToSource", "Folder"};

// An enum stored by name; whenMissing for nothing or a name not in the list.
template <typename Enum, std::size_t N>
Enum storedName(const char* key, const char* const (&names)[N], Enum whenMissing) {
    const QString text = stored(key).toString();
    for (std::size_t i = 0; i < N; ++i) {
        if (text == QLatin1String(names[i]))
            return static_cast<Enum>(i);
    }
    return whenMissing;
}

} // namespace

Aim Preferences::aim() const {
    Aim aim;
    aim.kind = aimKind();
    aim.targetBytes = aim.kind == Aim::Kind::FileSize ? targetFileSize() : 0;
    aim.targetSsim = aim.kind == Aim::Kind::Fidelity ? Aim::ssimOf(targetFidelity()) : 0;
    aim.maxSide = longestSide();
    aim.lossless = lossless();
    aim.minSavingPercent = minimumSaving();
    return aim;
}

Aim::Kind Preferences::aimKind() const {
    return storedName(SettingsKeys::AimFor, AimKindNames, Aim::Kind::Quality);
}

void Preferences::setAimKind(Aim::Kind kind) {
    store(SettingsKeys::AimFor, QLatin1String(AimKindNames[static_cast<int>(kind)]));
    Q_EMIT aimChanged();
}

qint64 Preferences::targetFileSize() const {
    const qint64 bytes = storedInteger(SettingsKeys::TargetFileSize);
    return bytes > 0 ? bytes : 200000;
}

void Preferences::setTargetFileSize(qint64 bytes) {
    store(SettingsKeys::TargetFileSize, bytes);
    Q_EMIT aimChanged();
}

Aim::Fidelity Preferences::targetFidelity() const {
    return storedName(SettingsKeys::TargetFidelity, FidelityNames, Aim::Fidelity::High);
}

void Preferences::setTargetFidelity(Aim::Fidelity fidelity) {
    store(SettingsKeys::TargetFidelity, QLatin1String(FidelityNames[static_cast<int>(fidelity)]));
    Q_EMIT aimChanged();
}

int Preferences::longestSide() const {
    return static_cast<int>(
        std::clamp<qint64>(storedInteger(SettingsKeys::LongestSide), 0, 1 << 20));
}

void Preferences::setLongestSide(int pixels) {
    store(SettingsKeys::LongestSide, qMax(0, pixels));
    Q_EMIT aimChanged();
}

bool Preferences::lossless() const {
    return storedBool(SettingsKeys::Lossless, false);
}

void Preferences::setLossless(bool on) {
    store(SettingsKeys::Lossless, on);
    Q_EMIT aimChanged();
}

int Preferences::minimumSaving() const {
    return static_cast<int>(std::clamp<qint64>(storedInteger(SettingsKeys::MinimumSaving), 0, 99));
}

void Preferences::setMinimumSaving(int percent) {
    store(SettingsKeys::MinimumSaving, qBound(0, percent, 99));
    Q_EMIT aimChanged();
}

SaveResults Preferences::saveResults() const {
    return storedName(SettingsKeys::SaveResults, SaveResultsNames, SaveResults::Ask);
}

void Preferences::setSaveResults(SaveResults place) {
    store(SettingsKeys::SaveResults, QLatin1String(SaveResultsNames[static_cast<int>(place)]));
    Q_EMIT saveResultsChanged();
}

QString Preferences::resultsFolder() const {
    return stored(SettingsKeys::ResultsFolder).toString();
}

void Preferences::setResultsFolder(const QString& folder) {
    store(SettingsKeys::ResultsFolder, folder);
    Q_EMIT saveResultsChanged();
}

qint64 Preferences::convertCount() const {
    return storedInteger(SettingsKeys::ConvertCount);
}

void Preferences::setConvertCount(qint64 count) {
    store(SettingsKeys::ConvertCount, count);
}

QString Preferences::savePath() const {
    return stored(SettingsKeys::SavePath).toString();
}

void Preferences::setSavePath(const QString& path) {
    store(SettingsKeys::SavePath, path);
}

void Preferences::seedServiceUrls(const QString& uploadUrl, const QString& downloadUrl) {
    if (!stored(SettingsKeys::UploadUrl).toString().isEmpty())
        return;
    store(SettingsKeys::UploadUrl, uploadUrl);
    store(SettingsKeys::DownloadUrl, downloadUrl);
}

QString Preferences::username() const {
    return stored(SettingsKeys::Username).toString();
}

void Preferences::setUsername(const QString& username) {
    store(SettingsKeys::Username, username);
}

void Preferences::recordLoginFailure(int status) {
    store(SettingsKeys::Password, QString());
    store(SettingsKeys::ErrorCode, QString::number(status));
}

void Preferences::setLayoutVisualisation(bool on) {
    store(SettingsKeys::VisualizeMutuallyExclusiveConstraints, on);
}
