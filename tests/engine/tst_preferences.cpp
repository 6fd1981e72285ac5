#include "Preferences.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

// The typed preferences over the settings store: files written by earlier releases keep their
// meaning, and what is written reads back the same.
class PreferencesTest : public QObject {
    Q_OBJECT
    static void writeStoreFile(const QByteArray& text) {
        const QString path = QSettings().fileName();
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }

private Q_SLOTS:
    void init() {
        QCoreApplication::setOrganizationName(QStringLiteral("tessaro"));
        QCoreApplication::setApplicationName(QStringLiteral("tessaro-pro"));
        writeStoreFile({});
    }

    // What the earlier release's slider and mode box wrote: a mode number and a ratio.
    void earlierReleaseFileKeepsItsMeaning_data() {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QByteArray>("ratio");
        QTest::addColumn<ConvertMode>("mode");
        QTest::addColumn<int>("quality");
        const auto row = [](const char* tag, const char* format, const char* ratio,
                            ConvertMode mode, int quality) {
            QTest::newRow(tag) << QByteArray(format) << QByteArray(ratio) << mode << quality;
        };
        row("slider thousandths", "2", "0.856", ConvertMode::ImageToWebp, 85);
        row("two decimals", "3", "0.29", ConvertMode::GifToWebp, 29);
        row("full", "1", "1", ConvertMode::WebpToPng, 100);
        row("zero means the default", "0", "0", ConvertMode::WebpToJpg, 90);
        row("nothing stored", nullptr, nullptr, ConvertMode::WebpToJpg, 90);
        row("mode -1, text", "-1", "abc", ConvertMode::WebpToJpg, 90);
        row("mode out of table, trailing text", "7", "0.5x", ConvertMode::WebpToJpg, 50);
    }
    void earlierReleaseFileKeepsItsMeaning() {
        QFETCH(QByteArray, format);
        QFETCH(QByteArray, ratio);
        QFETCH(ConvertMode, mode);
        QFETCH(int, quality);
        writeStoreFile("[General]\nFormat=" + format + "\nCompressionRatio=" + ratio +
                       "\nIncludeSubfolders=true\nSkipExistingResults=true\nKeepColorProfiles=false"
                       "\nKeepMetadata=true\nConvertCount=3\nSavePath=/home/a/Pictures\n");
        const Preferences& preferences = Preferences::instance();
        QCOMPARE(preferences.mode(), mode);
        QCOMPARE(preferences.quality(), quality);
        QVERIFY(preferences.includeSubfolders() && preferences.skipExistingResults() &&
                !preferences.keepColorProfiles() && preferences.keepMetadata());
        QCOMPARE(preferences.convertCount(), 3);
        QCOMPARE(preferences.savePath(), QStringLiteral("/home/a/Pictures"));
        // Missing booleans read as the release's defaults: profiles kept, metadata not.
        writeStoreFile("[General]\nFormat=" + format + "\n");
        QVERIFY(preferences.keepColorProfiles() && !preferences.keepMetadata() &&
                !preferences.includeSubfolders());
    }

    // Every percent written reads back as itself (a float truncation would turn 29 into 28)
    // and as the earlier release wrote it; only changes are signalled.
    void qualityRoundTripsAndSignalsChangesOnly() {
        Preferences& preferences = Preferences::instance();
        QSignalSpy changed(&preferences, &Preferences::qualityChanged);
        for (int percent = 1; percent <= 100; ++percent) {
            preferences.setQuality(percent);
            QCOMPARE(preferences.quality(), percent);
        }
        preferences.setQuality(100);
        QCOMPARE(changed.count(), 100); // the second 100 changed nothing
        QCOMPARE(QSettings().value("CompressionRatio").toString(), QStringLiteral("1"));
        QSignalSpy modeChanged(&preferences, &Preferences::modeChanged);
        preferences.setMode(ConvertMode::GifToWebp);
        preferences.setMode(ConvertMode::GifToWebp);
        QCOMPARE(modeChanged.count(), 1);
        QCOMPARE(QSettings().value("Format").toString(), QStringLiteral("3"));
    }
};

QTEST_GUILESS_MAIN(PreferencesTest)
#include "tst_preferences.moc"
