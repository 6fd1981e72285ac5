#include "batch_images.h"

#include <QAtomicInt>
#include <QColorSpace>
#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QThreadPool>

#include <cstdint>
#include <cstdio>

namespace BatchImages {

namespace {

constexpr int JpegQuality = 92;
constexpr int GrainAmplitude = 12;

// Small, fast and fully determined by its seed (QRandomGenerator's sequence is not
// guaranteed to stay the same across Qt versions).
class SplitMix {
public:
    explicit SplitMix(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int bounded(int limit) { return static_cast<int>(next() % static_cast<std::uint64_t>(limit)); }
    QColor colour(int alpha = 255) {
        return QColor(bounded(256), bounded(256), bounded(256), alpha);
    }

private:
    std::uint64_t state_;
};

void paintScene(QImage& image, SplitMix& random) {
    const int w = image.width();
    const int h = image.height();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, random.bounded(w), h);
    sky.setColorAt(0, random.colour());
    sky.setColorAt(0.5, random.colour());
    sky.setColorAt(1, random.colour());
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 40; ++i) {
        const QPointF centre(random.bounded(w), random.bounded(h));
        const qreal radius = 20 + random.bounded(qMax(21, w / 4));
        QRadialGradient blob(centre, radius);
        blob.setColorAt(0, random.colour(220));
        blob.setColorAt(1, random.colour(0));
        painter.setBrush(blob);
        if (i % 3 == 0)
            painter.drawRect(QRectF(centre, QSizeF(radius * 1.5, radius)));
        else
            painter.drawEllipse(centre, radius, radius * (0.5 + random.bounded(100) / 100.0));
    }
}

// Sensor-like grain: every channel moves by a small triangular-distributed amount.
void addGrain(QImage& image, SplitMix& random) {
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const std::uint64_t bits = random.next();
            const auto grain = [&](int shift) {
                const int a = static_cast<int>((bits >> shift) & 0xFF);
                const int b = static_cast<int>((bits >> (shift + 8)) & 0xFF);
                return (a + b - 255) * GrainAmplitude / 255;
            };
            const QRgb p = line[x];
            line[x] =
                qRgb(qBound(0, qRed(p) + grain(0), 255), qBound(0, qGreen(p) + grain(16), 255),
                     qBound(0, qBlue(p) + grain(32), 255));
        }
    }
}

bool save(const QImage& image, const QString& path, const char* format, int quality) {
    QImageWriter writer(path, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (writer.write(image))
        return true;
    std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path),
                 qPrintable(writer.errorString()));
    return false;
}

} // namespace

bool generate(int count, const QString& dir, QSize size) {
    const QDir root(dir);
    if (!root.mkpath(QStringLiteral("png")) || !root.mkpath(QStringLiteral("jpg"))) {
        std::fprintf(stderr, "cannot create folders in %s\n", qPrintable(dir));
        return false;
    }
    QAtomicInt failures;
    QThreadPool pool;
    for (int i = 0; i < count; ++i) {
        pool.start([&, i] {
            SplitMix random(0x7E55A40ull + static_cast<std::uint64_t>(i));
            QImage image(size, QImage::Format_RGB32);
            paintScene(image, random);
            addGrain(image, random);
            // Tagged like a phone's photo: results must keep the profile.
            image.setColorSpace(QColorSpace(QColorSpace::DisplayP3));
            const QString stem = QStringLiteral("photo-%1").arg(i + 1, 4, 10, QLatin1Char('0'));
            const bool ok =
                save(image, root.filePath(QStringLiteral("png/%1.png").arg(stem)), "png", -1) &&
                save(image, root.filePath(QStringLiteral("jpg/%1.jpg").arg(stem)), "jpeg",
                     JpegQuality);
            if (!ok)
                failures.ref();
        });
    }
    pool.waitForDone();
    return failures.loadRelaxed() == 0;
}

} // namespace BatchImages
