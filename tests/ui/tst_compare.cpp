// The comparison window driven as a user does: keys, clicks and drags on real decoded files.
#include "CompareView.h"
#include "CompareWindow.h"
#include "DamagedFiles.h"
#include "InputNormaliser.h"
#include "PairMeasures.h"
#include "ResizeStep.h"
#include "TaggedImages.h"
#include "TestFiles.h"

#include <QApplication>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

using DamagedFiles::Damage;

class CompareTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString source, result;
    std::unique_ptr<CompareWindow> window;

    QString at(const QString& name) const { return dir.filePath(name); }
    CompareView* view() const { return window->view(); }
    bool open() {
        window = std::make_unique<CompareWindow>(source, result);
        window->resize(800, 600);
        QSignalSpy loaded(window.get(), &CompareWindow::pairLoaded);
        window->show();
        return QTest::qWaitForWindowActive(window.get()) && loaded.wait(20000);
    }
    void click(const QString& button) {
        for (QToolButton* candidate : window->findChildren<QToolButton*>())
            if (candidate->accessibleName() == button)
                QTest::mouseClick(candidate, Qt::LeftButton);
    }

private Q_SLOTS:
    void initTestCase() {
        source = TestFiles::writeImage(at("source.png"), "png", {1600, 1200});
        // The result misses a corner the source has: the difference map must find it.
        QImage image(source);
        QPainter(&image).fillRect(0, 0, 200, 200, Qt::black);
        result = at("result.jpg");
        QVERIFY(image.save(result, "jpeg", 95));
    }
    void init() { QVERIFY(open()); }

    void flipAndZoom() {
        QVERIFY(view()->fitsWindow() && view()->zoom() < 1.0);
        QTest::keyClick(view(), Qt::Key_Space);
        QVERIFY(view()->showsResult());
        QTest::keyClick(view(), Qt::Key_Space);
        QVERIFY(!view()->showsResult());
        click(QStringLiteral("100 %"));
        QCOMPARE(view()->zoom(), 1.0);
        QTest::keyClick(view(), Qt::Key_0, Qt::ControlModifier);
        QVERIFY(view()->fitsWindow());
        QTest::keyClick(view(), Qt::Key_Plus, Qt::ControlModifier);
        QVERIFY(!view()->fitsWindow());
        // Ctrl+wheel keeps the image point under the cursor where it is.
        const QPointF cursor(150, 120);
        const QPointF before = (cursor - view()->pan()) / view()->zoom();
        const qreal zoom = view()->zoom();
        QWheelEvent wheel(cursor, view()->mapToGlobal(cursor), {}, {0, 240}, Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view(), &wheel);
        QVERIFY(view()->zoom() > zoom);
        const QPointF after = (cursor - view()->pan()) / view()->zoom();
        QVERIFY((after - before).manhattanLength() < 1.0);
    }

    void splitDrag() {
        click(QStringLiteral("Split"));
        QCOMPARE(view()->mode(), CompareMode::Split);
        const int y = view()->height() / 2;
        const QPoint divider(view()->width() / 2, y);
        QTest::mousePress(view(), Qt::LeftButton, {}, divider);
        QTest::mouseMove(view(), divider + QPoint(100, 0));
        QTest::mouseRelease(view(), Qt::LeftButton, {}, divider + QPoint(100, 0));
        QCOMPARE(view()->divider(), (divider.x() + 100.0) / view()->width());
        // Away from the divider, a drag moves both images and leaves the divider.
        view()->showActualSize();
        const QPointF pan = view()->pan();
        const QPoint from(50, y);
        QTest::mousePress(view(), Qt::LeftButton, {}, from);
        QTest::mouseMove(view(), from + QPoint(-60, -40));
        QTest::mouseRelease(view(), Qt::LeftButton, {}, from + QPoint(-60, -40));
        QCOMPARE(view()->pan(), pan + QPointF(-60, -40));
        QCOMPARE(view()->divider(), (divider.x() + 100.0) / view()->width());
    }

    void difference() {
        QSignalSpy ready(view(), &CompareView::differenceReady);
        click(QStringLiteral("Difference"));
        QVERIFY(ready.wait(20000));
        const QImage map = view()->difference();
        QVERIFY(qGray(map.pixel(100, 100)) > 4 * qGray(map.pixel(1000, 800)) + 40);
    }

    void stepKeys_data() {
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<bool>("next");
        QTest::newRow("Left") << Qt::Key_Left << false;
        QTest::newRow("Page Up") << Qt::Key_PageUp << false;
        QTest::newRow("Right") << Qt::Key_Right << true;
        QTest::newRow("Page Down") << Qt::Key_PageDown << true;
    }
    void stepKeys() {
        QFETCH(Qt::Key, key);
        QFETCH(bool, next);
        QSignalSpy asked(window.get(),
                         next ? &CompareWindow::nextRequested : &CompareWindow::previousRequested);
        QTest::keyClick(view(), key);
        QCOMPARE(asked.count(), 1);
        // The owner answers with the neighbouring pair; the window stays open and shows it.
        QSignalSpy loaded(window.get(), &CompareWindow::pairLoaded);
        window->setPair(result, source);
        QVERIFY(loaded.wait(20000) && loaded.first().first().toBool());
        QVERIFY(window->isVisible() && window->windowTitle().contains("result.jpg"));
        QTest::keyClick(view(), Qt::Key_Escape);
        QVERIFY(!window->isVisible());
    }

    void measures() {
        const QString measuring = window->barText();
        window->setMeasures(41.25, 0.9851);
        QVERIFY(window->barText() != measuring && window->barText().contains("0.985"));
        // The next pair's measures are not known yet.
        QSignalSpy loaded(window.get(), &CompareWindow::pairLoaded);
        window->setPair(source, result);
        QVERIFY(loaded.wait(20000));
        QCOMPARE(window->barText(), measuring);
    }

    // A damaged result (the decoder's other refusals: ThumbnailTest) shows no images and a
    // message naming the file that failed, and only that one.
    void damagedResult() {
        const QString damaged = DamagedFiles::write(at("damaged.png"), Damage::Truncated);
        QSignalSpy loaded(window.get(), &CompareWindow::pairLoaded);
        window->setPair(source, damaged);
        QVERIFY(loaded.wait(20000) && !loaded.first().first().toBool() && !view()->hasImages());
        QVERIFY(window->barText().contains(damaged) && !window->barText().contains(source));
    }
    // A result is measured against its source as the run made it: turned upright, shrunk to
    // the result's size, flattened onto white for a result without transparency. Each result
    // here is exactly that, so it measures as identical.
    void pairMeasures_data() {
        QTest::addColumn<QString>("original");
        QTest::addColumn<QImage>("made");
        const QString png = TestFiles::writeImage(at("m.png"), "png", {64, 48});
        QTest::newRow("resized") << png << ResizeStep::resizedToFit(QImage(png), 32);
        TaggedImages::Tags turned;
        turned.orientation = 6;
        const QString jpeg = TaggedImages::write(at("turned.jpg"), "jpeg", turned);
        QTest::newRow("EXIF orientation") << jpeg << InputNormaliser::readUpright(jpeg, 6);
        const QString clear = TestFiles::writeImage(at("clear.png"), "png", {40, 30}, true);
        QTest::newRow("transparency onto white")
            << clear << InputNormaliser::flattenOntoWhite(QImage(clear));
    }
    void pairMeasures() {
        QFETCH(QString, original);
        QFETCH(QImage, made);
        const QString result = at("made.png");
        QVERIFY(made.convertToFormat(QImage::Format_RGB32).save(result));
        QCOMPARE(measurePair(original, result).psnr, 99.0);
    }
};

QTEST_MAIN(CompareTest)
#include "tst_compare.moc"
