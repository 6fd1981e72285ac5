#include "PresetFile.h"

#include "SizeArgument.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>

namespace PresetFile {
namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("PresetFile", text);
}

const QString Yes = QStringLiteral("yes");
const QString No = QStringLiteral("no");

struct ModeName {
    ConvertMode mode;
    const char* name;
};
constexpr ModeName ModeNames[] = {{ConvertMode::WebpToJpg, "webp-to-jpg"},
                                  {ConvertMode::WebpToPng, "webp-to-png"},
                                  {ConvertMode::ImageToWebp, "jpg-png-to-webp"},
                                  {ConvertMode::GifToWebp, "gif-to-webp"}};
// In the order of Aim::Fidelity.
constexpr const char* FidelityNames[] = {"very-high", "high", "good"};

bool readMode(const QString& value, Preset& preset) {
    for (const ModeName& row : ModeNames) {
        if (value == QLatin1String(row.name))
            preset.mode = row.mode;
    }
    return preset.mode.has_value();
}

QString writeMode(const Preset& preset) {
    for (const ModeName& row : ModeNames) {
        if (preset.mode == row.mode)
            return QLatin1String(row.name);
    }
    return {};
}

template <std::optional<int> Preset::*field, int low, int high>
bool readNumber(const QString& value, Preset& preset) {
    bool ok = false;
    const int number = value.toInt(&ok, 10);
    if (ok && number >= low && number <= high)
        preset.*field = number;
    return (preset.*field).has_value();
}

template <std::optional<int> Preset::*field> QString writeNumber(const Preset& preset) {
    return preset.*field ? QString::number(*(preset.*field)) : QString();
}

template <std::optional<bool> Preset::*field> bool readYesNo(const QString& value, Preset& preset) {
    if (value == Yes || value == No)
        preset.*field = value == Yes;
    return (preset.*field).has_value();
}

template <std::optional<bool> Preset::*field> QString writeYesNo(const Preset& preset) {
    return preset.*field ? (*(preset.*field) ? Yes : No) : QString();
}

bool readSize(const QString& value, Preset& preset) {
    preset.targetSize = SizeArgument::parse(value);
    return preset.targetSize.has_value();
}

QString writeSize(const Preset& preset) {
    if (!preset.targetSize)
        return {};
    // The short form only when it reads back as the same number of bytes.
    const QString shortText = SizeArgument::shortText(*preset.targetSize).remove(u' ');
    return SizeArgument::parse(shortText) == preset.targetSize
               ? shortText
               : QString::number(*preset.targetSize);
}

bool readFidelity(const QString& value, Preset& preset) {
    for (int i = 0; i < 3; ++i) {
        if (value == QLatin1String(FidelityNames[i]))
            preset.fidelity = static_cast<Aim::Fidelity>(i);
    }
    return preset.fidelity.has_value();
}

QString writeFidelity(const Preset& preset) {
    return preset.fidelity ? QLatin1String(FidelityNames[static_cast<int>(*preset.fidelity)])
                           : QString();
}

bool readExisting(const QString& value, Preset& preset) {
    if (value == QLatin1String("keep-both") || value == QLatin1String("skip"))
        preset.skipExisting = value == QLatin1String("skip");
    return preset.skipExisting.has_value();
}

QString writeExisting(const Preset& preset) {
    if (!preset.skipExisting)
        return {};
    return *preset.skipExisting ? QStringLiteral("skip") : QStringLiteral("keep-both");
}

// "ask", "next-to-source", or the folder results always go to.
bool readSaveResults(const QString& value, Preset& preset) {
    if (value == QLatin1String("ask"))
        preset.saveResults = SaveResults::Ask;
    else if (value == QLatin1String("next-to-source"))
        preset.saveResults = SaveResults::NextToSource;
    else if (QDir::isAbsolutePath(value))
        preset.saveResults = SaveResults::Folder;
    if (preset.saveResults == SaveResults::Folder)
        preset.resultsFolder = QDir::cleanPath(value);
    return preset.saveResults.has_value();
}

QString writeSaveResults(const Preset& preset) {
    if (!preset.saveResults)
        return {};
    switch (*preset.saveResults) {
    case SaveResults::Ask:
        return QStringLiteral("ask");
    case SaveResults::NextToSource:
        return QStringLiteral("next-to-source");
    case SaveResults::Folder:
        break;
    }
    return preset.resultsFolder;
}

struct Setting {
    const char* key;
    const char* expected; // the values it takes, for the error
    bool (*read)(const QString& value, Preset& preset);
    QString (*write)(const Preset& preset); // "" when the preset does not hold it
};

const char* const YesOrNo = QT_TRANSLATE_NOOP("PresetFile", "yes or no");

// In the order a preset is written.
const Setting Settings[] = {
    {"mode",
     QT_TRANSLATE_NOOP("PresetFile", "webp-to-jpg, webp-to-png, jpg-png-to-webp or gif-to-webp"),
     readMode, writeMode},
    {"quality", QT_TRANSLATE_NOOP("PresetFile", "a whole number from 0 to 100"),
     readNumber<&Preset::quality, 0, 100>, writeNumber<&Preset::quality>},
    {"target-size", QT_TRANSLATE_NOOP("PresetFile", "a file size such as 200k or 1.5M"), readSize,
     writeSize},
    {"fidelity", QT_TRANSLATE_NOOP("PresetFile", "very-high, high or good"), readFidelity,
     writeFidelity},
    {"longest-side", QT_TRANSLATE_NOOP("PresetFile", "a whole number of pixels, 0 for no limit"),
     readNumber<&Preset::longestSide, 0, (1 << 20)>, writeNumber<&Preset::longestSide>},
    {"lossless", YesOrNo, readYesNo<&Preset::lossless>, writeYesNo<&Preset::lossless>},
    {"min-saving", QT_TRANSLATE_NOOP("PresetFile", "a whole number of per cent from 0 to 99"),
     readNumber<&Preset::minimumSaving, 0, 99>, writeNumber<&Preset::minimumSaving>},
    {"keep-metadata", YesOrNo, readYesNo<&Preset::keepMetadata>, writeYesNo<&Preset::keepMetadata>},
    {"keep-color-profile", YesOrNo, readYesNo<&Preset::keepColorProfile>,
     writeYesNo<&Preset::keepColorProfile>},
    {"subfolders", YesOrNo, readYesNo<&Preset::includeSubfolders>,
     writeYesNo<&Preset::includeSubfolders>},
    {"existing-results", QT_TRANSLATE_NOOP("PresetFile", "keep-both or skip"), readExisting,
     writeExisting},
    {"save-results",
     QT_TRANSLATE_NOOP("PresetFile", "ask, next-to-source or a folder's absolute path"),
     readSaveResults, writeSaveResults},
};

const Setting* settingNamed(const QString& key) {
    for (const Setting& setting : Settings) {
        if (key == QLatin1String(setting.key))
            return &setting;
    }
    return nullptr;
}

QString settingNames() {
    QStringList names;
    for (const Setting& setting : Settings)
        names.append(QLatin1String(setting.key));
    return names.join(QStringLiteral(", "));
}

} // namespace

QString path() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/tessaro/presets.conf");
}

Contents parse(const QByteArray& text, const QString& fileName) {
    Contents contents;
    QSet<QString> setHere; // the settings the current preset has had
    const QStringList lines = QString::fromUtf8(text).split(u'\n');
    const auto failure = [&](qsizetype index, const QString& why) {
        return Contents{{}, tr("%1, line %2: %3").arg(fileName).arg(index + 1).arg(why)};
    };
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i].trimmed();
        if (i == 0 && line.startsWith(QChar(0xfeff))) // a byte order mark some editors write
            line = line.mid(1).trimmed();
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            const QString name = line.mid(1, line.size() - 2).trimmed();
            if (!line.endsWith(u']') || name.isEmpty())
                return failure(i, tr("a preset starts with its name in brackets, as in “[Web]”"));
            if (findPreset(contents.presets, name) != nullptr)
                return failure(i, tr("a second preset named “%1”").arg(name));
            contents.presets.append(Preset());
            contents.presets.last().name = name;
            setHere.clear();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            return failure(i, tr("expected “setting = value” or “[Name]”, found “%1”").arg(line));
        if (contents.presets.isEmpty())
            return failure(i, tr("a setting before the first preset's “[Name]” line"));
        Preset& preset = contents.presets.last();
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        const Setting* setting = settingNamed(key);
        if (setting == nullptr)
            return failure(
                i, tr("unknown setting “%1”; the settings are %2").arg(key, settingNames()));
        if (setHere.contains(key))
            return failure(i, tr("“%1” is set twice in “%2”").arg(key, preset.name));
        setHere.insert(key);
        if (!setting->read(value, preset))
            return failure(i, tr("“%1” takes %2, not “%3”").arg(key, tr(setting->expected), value));
        if (preset.targetSize && preset.fidelity)
            return failure(i, tr("a preset aims at a file size or at a fidelity, not both"));
    }
    return contents;
}

QByteArray format(const QList<Preset>& presets) {
    QString text = QStringLiteral(
        "# Tessaro Pro presets, for the window and for tessaro-convert --preset NAME.\n"
        "# Each \"[Name]\" starts a preset; \"setting = value\" lines follow. A setting left\n"
        "# out is left as it is when the preset is applied. See tessaro-convert(1).\n");
    for (const Preset& preset : presets) {
        text += QStringLiteral("\n[%1]\n").arg(preset.name);
        for (const Setting& setting : Settings) {
            if (const QString value = setting.write(preset); !value.isEmpty())
                text += QStringLiteral("%1 = %2\n").arg(QLatin1String(setting.key), value);
        }
    }
    return text.toUtf8();
}

Contents load() {
    const QString file = path();
    if (!QFileInfo::exists(file))
        return {Preset::defaults(), {}};
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return {{}, tr("%1 cannot be read: %2").arg(file, in.errorString())};
    return parse(in.readAll(), file);
}

bool save(const QList<Preset>& presets, QString* why) {
    const QString file = path();
    QSaveFile out(file);
    if (QDir().mkpath(QFileInfo(file).path()) && out.open(QIODevice::WriteOnly) &&
        out.write(format(presets)) >= 0 && out.commit())
        return true;
    if (why != nullptr)
        *why = tr("%1 cannot be written: %2").arg(file, out.errorString());
    return false;
}

} // namespace PresetFile
