// Row thumbnails: real files of every format decoded small off the interface thread, damaged
// files refused without harm, stale requests dropped, and both caches answering only for the
// file as it is now.
#include "DamagedFiles.h"
#include "DecodePool.h"
#include "DesktopThumbnails.h"
#include "ImageDecoder.h"
#include "TestFiles.h"
#include "ThumbnailLoader.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSemaphore>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

using DamagedFiles::Damage;
Q_DECLARE_METATYPE(Damage)
Q_DECLARE_METATYPE(DecodeFailure)

class ThumbnailTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString at(const QString& name) const { return dir.filePath(name); }

    // Asks for key 1 and waits: the ready signal's {key, image, animated}.
    static QVariantList answer(ThumbnailLoader& loader, const QString& path,
                               QSize size = {24, 24}) {
        QSignalSpy ready(&loader, &ThumbnailLoader::thumbnailReady);
        loader.request(1, path, size);
        return ready.wait(20000) ? ready.first() : QVariantList();
    }
    static QImage load(ThumbnailLoader& loader, const QString& path, QSize size = {24, 24}) {
        return answer(loader, path, size).value(1).value<QImage>();
    }

private Q_SLOTS:
    // The desktop's cache is read from here, never from the real one, however the test is run.
    void initTestCase() { qputenv("XDG_CACHE_HOME", QFile::encodeName(at("cache"))); }

    void formats_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("expected");
        QTest::addColumn<bool>("animated");
        QTest::newRow("png") << TestFiles::writeImage(at("a.png"), "png") << QSize(24, 16) << false;
        QTest::newRow("jpeg") << TestFiles::writeImage(at("a.jpg"), "jpeg") << QSize(24, 16)
                              << false;
        QTest::newRow("webp") << TestFiles::writeWebp(at("a.webp")) << QSize(24, 16) << false;
        // Smaller than asked: never enlarged.
        QTest::newRow("animated gif")
            << TestFiles::writeAnimatedGif(at("a.gif")) << QSize(2, 2) << true;
        const QString animatedWebp = at("anim.webp");
        QProcess::execute(TestFiles::realToolsDirectory() + "/gif2webp-x8664",
                          {"-quiet", TestFiles::writeAnimatedGif(at("b.gif")), "-o", animatedWebp});
        QTest::newRow("animated webp") << animatedWebp << QSize(2, 2) << true;
    }
    void formats() {
        QFETCH(QString, file);
        QFETCH(QSize, expected);
        QFETCH(bool, animated);
        ThumbnailLoader loader;
        const QVariantList ready = answer(loader, file);
        QCOMPARE(ready.value(1).value<QImage>().size(), expected);
        QCOMPARE(ready.value(2), QVariant(animated));
    }

    void damaged_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<DecodeFailure>("failure");
        using DamagedFiles::write;
        QTest::newRow("truncated")
            << write(at("t.png"), Damage::Truncated) << DecodeFailure::Damaged;
        QTest::newRow("byte-flipped")
            << write(at("f.png"), Damage::ByteFlipped) << DecodeFailure::Damaged;
        QTest::newRow("wrong magic")
            << write(at("m.png"), Damage::WrongMagic) << DecodeFailure::Damaged;
        QTest::newRow("header claims 60000x60000")
            << write(at("h.png"), Damage::HugeHeader) << DecodeFailure::TooLarge;
        QTest::newRow("real, 9000 px wide")
            << TestFiles::writeImage(at("w.png"), "png", {9000, 2}) << DecodeFailure::TooLarge;
        QTest::newRow("missing") << at("none.png") << DecodeFailure::Unreadable;
    }
    void damaged() {
        QFETCH(QString, file);
        QFETCH(DecodeFailure, failure);
        ThumbnailLoader loader;
        QSignalSpy failed(&loader, &ThumbnailLoader::thumbnailFailed);
        loader.request(1, file, {24, 24});
        QVERIFY(failed.wait(20000));
        QCOMPARE(decodeImage(file).failure, failure);
    }

    // Only the last request of a key is answered, and work for a forgotten or superseded
    // request is skipped when its turn comes.
    void superseded_data() {
        QTest::addColumn<bool>("forget");
        QTest::addColumn<bool>("queued"); // else some of the superseded work is under way
        QTest::newRow("newer request") << false << true;
        QTest::newRow("forgotten") << true << true;
        QTest::newRow("newer request while decoding") << false << false;
    }
    void superseded() {
        QFETCH(bool, forget);
        QFETCH(bool, queued);
        ThumbnailLoader loader;
        loader.setUseDesktopThumbnails(false);
        const QString first = TestFiles::writeImage(at("first.png"), "png", {400, 400});
        QSignalSpy ready(&loader, &ThumbnailLoader::thumbnailReady);
        QSemaphore gate; // holds every pool thread, so all requests wait in the queue
        for (int thread = 0; queued && thread < decodePool()->maxThreadCount(); ++thread)
            decodePool()->start([&gate] { gate.acquire(); });
        for (int key = 0; key < 10; ++key) {
            loader.request(key, first, {32, 32});
            // Writing takes a moment, so without the gate the first request's work is started.
            const QString second = TestFiles::writeImage(at(QString::number(key)), "png", {40, 20});
            if (forget)
                loader.forget(key);
            else
                loader.request(key, second, {32, 32});
        }
        gate.release(queued ? decodePool()->maxThreadCount() : 0);
        decodePool()->waitForDone();
        QCoreApplication::processEvents();
        QCOMPARE(ready.count(), forget ? 0 : 10);
        if (queued)
            QCOMPARE(loader.decodeCount(), forget ? 0 : 10);
        for (const QVariantList& answer : ready)
            QCOMPARE(answer.at(1).value<QImage>().size(), QSize(32, 16));
    }

    // The loader's memory answers for the same file at the same size until the file changes;
    // an entry of the desktop's cache only when it names this file as it is now.
    void caches_data() {
        QTest::addColumn<QString>("entryUri");  // after the file's own; "-": no entry
        QTest::addColumn<qint64>("entryShift"); // of its modification time
        QTest::addColumn<bool>("touch");        // the file, before the second request
        QTest::addColumn<QSize>("second");      // the second request's size
        QTest::addColumn<int>("decodes");
        const QSize same(24, 24);
        QTest::newRow("same file, same size") << "-" << qint64(0) << false << same << 1;
        QTest::newRow("file touched since") << "-" << qint64(0) << true << same << 2;
        QTest::newRow("other size") << "-" << qint64(0) << false << QSize(12, 12) << 2;
        QTest::newRow("desktop entry") << "" << qint64(0) << false << same << 0;
        QTest::newRow("stale desktop entry") << "" << qint64(-5) << false << same << 1;
        QTest::newRow("another file's entry") << "x" << qint64(0) << false << same << 1;
    }
    void caches() {
        QFETCH(QString, entryUri);
        QFETCH(qint64, entryShift);
        QFETCH(bool, touch);
        QFETCH(QSize, second);
        QFETCH(int, decodes);
        const QString file = TestFiles::writeImage(at(QTest::currentDataTag()), "png", {48, 32});
        const QFileInfo info(file);
        if (entryUri != u"-") {
            const QString folder =
                QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                "/thumbnails/normal";
            QImage entry(48, 32, QImage::Format_RGB32);
            entry.fill(Qt::green); // saved as it is: never memory left unset
            entry.setText("Thumb::URI", DesktopThumbnails::uriOf(file) + entryUri);
            entry.setText("Thumb::MTime",
                          QString::number(info.lastModified().toSecsSinceEpoch() + entryShift));
            QVERIFY(QDir().mkpath(folder) &&
                    entry.save(folder + '/' + DesktopThumbnails::entryName(file), "png"));
        }
        ThumbnailLoader loader;
        QVERIFY(!load(loader, file).isNull());
        QFile handle(file);
        if (touch)
            QVERIFY(handle.open(QIODevice::ReadWrite) &&
                    handle.setFileTime(info.lastModified().addSecs(10),
                                       QFileDevice::FileModificationTime));
        QVERIFY(!load(loader, file, second).isNull());
        QCOMPARE(loader.decodeCount(), decodes);
    }
};

QTEST_MAIN(ThumbnailTest)
#include "tst_thumbnails.moc"
