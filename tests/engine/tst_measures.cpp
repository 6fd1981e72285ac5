// The pieces that aim a conversion: measures, resize, quality search and size argument.
#include "ImageMeasures.h"
#include "QualitySearch.h"
#include "ResizeStep.h"
#include "SizeArgument.h"

#include <QTest>

#include <cmath>

namespace {
QImage flat(QSize size, QRgb colour, QPoint at = {-1, -1}, QRgb atColour = 0) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    if (image.rect().contains(at))
        image.setPixel(at, atColour);
    return image;
}
// SSIM of flat grey v through one window where a pixel of weight w (1: all) differs by d.
double oneChangeSsim(double v, double d, double w) {
    const double c1 = 2.55 * 2.55, c2 = 7.65 * 7.65, mu = v + w * d;
    return (2 * v * mu + c1) * c2 / ((v * v + mu * mu + c1) * (w * (1 - w) * d * d + c2));
}
// The 11-tap Gaussian (sigma 1.5) at an offset from its centre.
double tap(int offset) {
    double sum = 0;
    for (int i = -5; i <= 5; ++i)
        sum += std::exp(-i * i / 4.5);
    return std::exp(-offset * offset / 4.5) / sum;
}
} // namespace

class MeasuresTest : public QObject {
    Q_OBJECT
    static double psnrOf(double mse) { return 10 * std::log10(255 * 255 / mse); }
private Q_SLOTS:
    void measures_data() {
        QTest::addColumn<QImage>("a");
        QTest::addColumn<QImage>("b");
        QTest::addColumn<double>("psnr"); // NaN: not comparable
        QTest::addColumn<double>("ssim");
        const QRgb grey = qRgb(100, 100, 100), light = qRgb(160, 160, 160),
                   ten = qRgb(110, 110, 110);
        const QImage dotted = flat({40, 30}, grey, {3, 4}, qRgb(7, 200, 9));
        QTest::newRow("itself") << dotted << dotted << 99.0 << 1.0;
        QTest::newRow("one pixel, 11x11")
            << flat({11, 11}, grey) << flat({11, 11}, grey, {5, 5}, light) << psnrOf(3600 / 121.0)
            << oneChangeSsim(100, 60, tap(0) * tap(0));
        QTest::newRow("one pixel at the border: 11 windows, one sees it")
            << flat({21, 11}, grey) << flat({21, 11}, grey, {0, 5}, light) << psnrOf(3600 / 231.0)
            << (10 + oneChangeSsim(100, 60, tap(5) * tap(0))) / 11;
        QTest::newRow("colour change keeping the luma")
            << flat({9, 9}, grey) << flat({9, 9}, qRgb(85, 109, 93)) << psnrOf(355 / 3.0) << 1.0;
        QTest::newRow("constant offset, 1x1")
            << flat({1, 1}, grey) << flat({1, 1}, ten) << psnrOf(100) << oneChangeSsim(100, 10, 1);
        QTest::newRow("alpha ignored")
            << flat({9, 9}, grey) << flat({9, 9}, qRgba(100, 100, 100, 0)) << 99.0 << 1.0;
        QTest::newRow("sizes differ") << dotted << dotted.copy(0, 0, 39, 30) << qQNaN() << qQNaN();
    }
    void measures() {
        QFETCH(QImage, a);
        QFETCH(QImage, b);
        QFETCH(double, psnr);
        QFETCH(double, ssim);
        const ImageMeasures::Measures m = ImageMeasures::measure(a, b);
        QCOMPARE(std::isnan(m.psnr) || std::isnan(m.ssim), std::isnan(psnr));
        QCOMPARE(ImageMeasures::ssim(a, b), m.ssim);
        QCOMPARE(ImageMeasures::psnr(a, b), m.psnr);
        QVERIFY2(!(std::abs(m.psnr - psnr) > 1e-9), qPrintable(QString::number(m.psnr)));
        QVERIFY2(!(std::abs(m.ssim - ssim) > 1e-5), qPrintable(QString::number(m.ssim, 'g', 9)));
    }

    void fit_data() {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<int>("maxSide");
        QTest::addColumn<QSize>("fitted");
        QTest::newRow("landscape") << QSize(4000, 3000) << 1000 << QSize(1000, 750);
        QTest::newRow("portrait") << QSize(3000, 4000) << 1000 << QSize(750, 1000);
        QTest::newRow("half rounds up") << QSize(10, 5) << 3 << QSize(3, 2);
        QTest::newRow("below half rounds down") << QSize(1000, 333) << 100 << QSize(100, 33);
        QTest::newRow("at least 1") << QSize(3000, 2) << 100 << QSize(100, 1);
        QTest::newRow("never enlarged") << QSize(300, 200) << 1000 << QSize(300, 200);
        QTest::newRow("no limit") << QSize(300, 200) << 0 << QSize(300, 200);
    }
    void fit() {
        QFETCH(QSize, source);
        QFETCH(int, maxSide);
        QFETCH(QSize, fitted);
        QCOMPARE(ResizeStep::fittedSize(source, maxSide), fitted);
        QImage image(source.boundedTo({400, 400}), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        const QImage resized = ResizeStep::resizedToFit(image, maxSide);
        QCOMPARE(resized.size(), ResizeStep::fittedSize(image.size(), maxSide));
        QCOMPARE(qAlpha(resized.pixel(0, 0)), 0);
    }

    void search_data() {
        QTest::addColumn<bool>("bySsim");
        QTest::addColumn<double>("target");
        QTest::addColumn<double>("wiggle"); // 1: not monotone
        QTest::addColumn<int>("knee");      // the quality above which the measure climbs fast
        QTest::addColumn<int>("maxEncodes");
        for (double wiggle : {0.0, 1.0})
            for (int knee : {0, 85}) {
                for (double target : {0.8, 0.93, 0.97, 0.99, 0.999, 0.9999})
                    QTest::addRow("ssim %g, wiggle %g, knee %d", target, wiggle, knee)
                        << true << target << wiggle << knee << 7;
                for (double target : {3e3, 6e3, 15e3, 5000 * std::exp(2.0), 1e5, 4e5, 7e5})
                    QTest::addRow("bytes %g, wiggle %g, knee %d", target, wiggle, knee)
                        << false << target << wiggle << knee << 7;
            }
        QTest::newRow("ssim in 3 encodes, only the top") << true << 0.997 << 0.0 << 0 << 3;
        QTest::newRow("bytes in 3 encodes, only the bottom") << false << 5500.0 << 0.0 << 0 << 3;
    }
    void search() {
        QFETCH(bool, bySsim);
        QFETCH(double, target);
        QFETCH(double, wiggle);
        QFETCH(int, knee);
        QFETCH(int, maxEncodes);
        const auto x = [&](int q) { return !knee ? q : q < knee ? q / 4.0 : 4 * q - 3.75 * knee; };
        const auto wave = [&](int q) { return wiggle * std::sin(q * 2.3); };
        const auto ssimAt = [&](int q) { return 1 - std::exp(-x(q) / 22) / 4 + wave(q) / 500; };
        const auto bytesAt = [&](int q) {
            return qint64(5000 * std::exp(x(q) / 25) * (1 + wave(q) / 16));
        };
        const auto hits = [&](int q) {
            return bySsim ? ssimAt(q) >= target : bytesAt(q) <= target;
        };
        QualitySearch search(bySsim ? QualitySearch::Goal(QualitySearch::TargetSsim{target})
                                    : QualitySearch::TargetBytes{qint64(target)},
                             maxEncodes);
        int encodes = 0;
        while (const std::optional<int> q = search.nextQuality()) {
            QVERIFY(*q >= 0 && *q <= 100 && ++encodes <= maxEncodes);
            search.report(*q, bytesAt(*q), ssimAt(*q));
        }
        const QualitySearch::Choice choice = search.chosen();
        QCOMPARE(choice.reached, hits(choice.quality));
        QVERIFY(choice.reached || maxEncodes == 7);
        const int cheaper = choice.quality + (bySsim ? -1 : 1);
        if (maxEncodes == 7 && choice.reached) // resolved: the next cheaper quality misses
            QVERIFY(cheaper < 0 || cheaper > 100 || !hits(cheaper));
        else if (maxEncodes == 7 && wiggle == 0) // out of reach: the best is at the top
            QCOMPARE(choice.quality, bySsim ? 100 : 0);
    }

    void sizes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("bytes"); // -1: rejected
        QTest::addColumn<QString>("shortText");
        QTest::newRow("k") << "150K" << qint64(150000) << "150 kB";
        QTest::newRow("M with a fraction") << "1.5M" << qint64(1500000) << "1.5 MB";
        QTest::newRow("plain bytes") << "999" << qint64(999) << "999 B";
        QTest::newRow("as printed") << " 171 kB " << qint64(171000) << "171 kB";
        QTest::newRow("rounded down") << "171040" << qint64(171040) << "171 kB";
        QTest::newRow("rounds into the next unit") << "999960" << qint64(999960) << "1 MB";
        QTest::newRow("largest") << "9223372036854775807" << qint64(9223372036854775807)
                                 << "9.2 EB";
        for (const char* rejected :
             {"99999999999999999999", "18446744073709552k", "1.0005k", "0k", "-5k", "150x"})
            QTest::newRow(rejected) << rejected << qint64(-1) << "";
    }
    void sizes() {
        QFETCH(QString, text);
        QFETCH(qint64, bytes);
        QFETCH(QString, shortText);
        QCOMPARE(SizeArgument::parse(text).value_or(-1), bytes);
        if (bytes > 0)
            QCOMPARE(SizeArgument::shortText(bytes), shortText);
    }
};

QTEST_MAIN(MeasuresTest)
#include "tst_measures.moc"
