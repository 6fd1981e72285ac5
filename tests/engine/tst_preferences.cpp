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
private Q_SLOTS:
    void init();
    void earlierReleaseFileKeepsItsMeaning_data();
    void earlierReleaseFileKeepsItsMeaning();
    void qualityRoundTripsAndSignalsChangesOnly();

private:
    void writeStoreFile(const QByteArray& text);
};

void PreferencesTest::init() {
    QCoreApplication::setOrganizationName(QStringLiteral("tessaro"));
    QCoreApplication::setApplicationName(QStringLiteral("tessaro-pro"));
    writeStoreFile({});
}

void PreferencesTest::writeStoreFile(const QByteArray& text) {
    const QString path = QSettings().fileName();
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

void PreferencesTest::earlierReleaseFileKeepsItsMeaning_data() {
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QByteArray>("ratio");
    QTest::addColumn<ConvertMode>("mode");
    QTest::addColumn<int>("quality");
    // What the earlier release's slider and mode box wrote.
    QTest::newRow("slider thousandths")
        << QByteArray("2") << QByteArray("0.856") << ConvertMode::ImageToWebp << 85;
    QTest::newRow("two decimals") << QByteArray("3") << QByteArray("0.29") << ConvertMode::GifToWebp
                                  << 29;
    QTest::newRow("full") << QByteArray("1") << QByteArray("1") << ConvertMode::WebpToPng << 100;
    QTest::newRow("zero means the default")
        << QByteArray("0") << QByteArray("0") << ConvertMode::WebpToJpg << 90;
    QTest::newRow("nothing stored") << QByteArray() << QByteArray() << ConvertMode::WebpToJpg << 90;
    QTest::newRow("mode -1, text")
        << QByteArray("-1") << QByteArray("abc") << ConvertMode::WebpToJpg << 90;
    QTest::newRow("mode out of table, trailing text")
        << QByteArray("7") << QByteArray("0.5x") << ConvertMode::WebpToJpg << 50;
}

void PreferencesTest::earlierReleaseFileKeepsItsMeaning() {
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
    QVERIFY(preferences.includeSubfolders());
    QVERIFY(preferences.skipExistingResults());
    QVERIFY(!preferences.keepColorProfiles());
    QVERIFY(preferences.keepMetadata());
    QCOMPARE(preferences.convertCount(), 3);
    QCOMPARE(preferences.savePath(), QStringLiteral("/home/a/Pictures"));
    // Missing booleans read as the release's defaults: profiles kept, metadata not.
    writeStoreFile("[General]\nFormat=" + format + "\n");
    QVERIFY(preferences.keepColorProfiles());
    QVERIFY(!preferences.keepMetadata());
    QVERIFY(!preferences.includeSubfolders());
}

void PreferencesTest::qualityRoundTripsAndSignalsChangesOnly() {
    Preferences& preferences = Preferences::instance();
    QSignalSpy changed(&preferences, &Preferences::qualityChanged);
    // Every percent written reads back as itself (a float truncation would turn 29 into 28).
    for (int percent = 1; percent <= 100; ++percent) {
        preferences.setQuality(percent);
        QCOMPARE(preferences.quality(), percent);
    }
    QCOMPARE(changed.count(), 100); // 90 was the default, so writing it changed nothing
    preferences.setQuality(100);
    QCOMPARE(changed.count(), 100);
    QCOMPARE(QSettings().value("CompressionRatio").toString(), QStringLiteral("1"));
    QSignalSpy modeChanged(&preferences, &Preferences::modeChanged);
    preferences.setMode(ConvertMode::GifToWebp);
    preferences.setMode(ConvertMode::GifToWebp);
    QCOMPARE(modeChanged.count(), 1);
    QCOMPARE(QSettings().value("Format").toString(), QStringLiteral("3"));
}

QTEST_GUILESS_MAIN(PreferencesTest)
#include "tst_preferences.moc"
