// The presets file both front ends read: mistakes named by their line, the shipped presets
// while no file exists, what is written reads back the same, and a preset written into the
// window's stored choices changes exactly what it holds.
#include "Preferences.h"
#include "PresetFile.h"

#include <QFile>
#include <QSettings>
#include <QTest>

class PresetsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        QSettings().clear();
        QFile::remove(PresetFile::path());
    }

    void mistakesNameTheirLine_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("line"); // 0: no mistake
        QTest::newRow("every setting") << QByteArray("# mine\n\n[A b]\nmode = webp-to-png\n"
                                                     "quality=7\r\ntarget-size = 150 kB\n"
                                                     "longest-side = 0\nlossless = yes\n"
                                                     "min-saving = 9\nkeep-metadata = no\n"
                                                     "keep-color-profile = no\nsubfolders = yes\n"
                                                     "existing-results = skip\n"
                                                     "save-results = /x y/z\n[C]\n")
                                       << 0;
        QTest::newRow("unknown setting")
            << QByteArray("[A]\nmode = webp-to-png\nqualty = 5\n") << 3;
        QTest::newRow("value out of range") << QByteArray("\n[A]\nquality = 101\n") << 3;
        QTest::newRow("setting before a name") << QByteArray("# x\nquality = 5\n") << 2;
        QTest::newRow("no equals sign") << QByteArray("[A]\nquality 5\n") << 2;
        QTest::newRow("unclosed name") << QByteArray("[A]\n[B\n") << 2;
        QTest::newRow("name twice") << QByteArray("[A]\n[B]\n[A]\n") << 3;
        QTest::newRow("setting twice") << QByteArray("[A]\nlossless = no\nlossless = no\n") << 3;
        QTest::newRow("size and fidelity")
            << QByteArray("[A]\ntarget-size = 2k\nfidelity = high\n") << 3;
        QTest::newRow("relative folder") << QByteArray("[A]\nsave-results = out\n") << 2;
    }
    void mistakesNameTheirLine() {
        QFETCH(QByteArray, text);
        QFETCH(int, line);
        const PresetFile::Contents contents = PresetFile::parse(text, QStringLiteral("/p/f.conf"));
        if (line == 0) {
            QVERIFY2(contents.error.isEmpty(), qPrintable(contents.error));
            QCOMPARE(contents.presets.size(), 2);
            QCOMPARE(contents.presets[0].targetSize, qint64(150000));
            QCOMPARE(contents.presets[0].resultsFolder, QStringLiteral("/x y/z"));
            return;
        }
        QVERIFY(contents.presets.isEmpty());
        QVERIFY2(contents.error.startsWith(QStringLiteral("/p/f.conf, line %1: ").arg(line)),
                 qPrintable(contents.error));
    }

    // The shipped presets until a file exists; saved presets, every setting held, read back
    // the same from the file.
    void savedPresetsReadBack() {
        QCOMPARE(PresetFile::load().presets, Preset::defaults());
        Preferences& stored = Preferences::instance();
        stored.setAimKind(Aim::Kind::FileSize);
        stored.setTargetFileSize(123456);
        stored.setSaveResults(SaveResults::Folder);
        stored.setResultsFolder(QStringLiteral("/srv/out"));
        QList<Preset> presets = Preset::defaults();
        presets << Preset::fromPreferences(QStringLiteral("Ünïcode [1]"));
        stored.setAimKind(Aim::Kind::Fidelity);
        presets << Preset::fromPreferences(QStringLiteral("by fidelity"));
        QString why;
        QVERIFY2(PresetFile::save(presets, &why), qPrintable(why));
        const PresetFile::Contents loaded = PresetFile::load();
        QVERIFY2(loaded.error.isEmpty(), qPrintable(loaded.error));
        QCOMPARE(loaded.presets, presets);
        QFile::remove(PresetFile::path());
        QVERIFY(PresetFile::save({}, &why));
        QCOMPARE(PresetFile::load().presets, QList<Preset>()); // deleted ones stay deleted
    }

    // Applied, a whole preset is what the store then holds; a partial one leaves the rest.
    void applyingChangesWhatThePresetHolds() {
        for (const Preset& preset : Preset::defaults()) {
            preset.applyToPreferences();
            Preset held = Preset::fromPreferences(preset.name);
            held.includeSubfolders = held.skipExisting = std::nullopt;
            held.saveResults.reset();
            QCOMPARE(held, preset);
        }
        Preferences& stored = Preferences::instance();
        stored.setAimKind(Aim::Kind::Fidelity);
        Preset partial;
        partial.lossless = false;
        partial.applyToPreferences();
        QCOMPARE(stored.aimKind(), Aim::Kind::Fidelity);
        QCOMPARE(stored.quality(), 85); // the last default applied: Share
        partial.quality = 40;
        partial.applyToPreferences();
        QCOMPARE(stored.aimKind(), Aim::Kind::Quality);
    }
};

QTEST_GUILESS_MAIN(PresetsTest)
#include "tst_presets.moc"
