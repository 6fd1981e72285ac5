#include "DifferenceMap.h"

#include <QColor>
#include <QtMath>

#include <array>
#include <cstdlib>

namespace {
using HeatTable = std::array<QRgb, 256>;

HeatTable makeHeatTable() {
    struct Stop {
        qreal at;
        QColor color;
    };
    const Stop stops[] = {{0.0, QColor(0, 0, 0)},
                          {0.3, QColor(70, 0, 140)},
                          {0.55, QColor(220, 30, 30)},
                          {0.8, QColor(255, 200, 0)},
                          {1.0, QColor(255, 255, 255)}};
    HeatTable table{};
    for (int d = 0; d < 256; ++d) {
        // The square root lifts small differences into view.
        const qreal t = std::sqrt(d / 255.0);
        int upper = 1;
        while (upper < int(std::size(stops)) - 1 && stops[upper].at < t)
            ++upper;
        const Stop& a = stops[upper - 1];
        const Stop& b = stops[upper];
        const qreal f = (t - a.at) / (b.at - a.at);
        auto channel = [f](int from, int to) { return qRound(from + (to - from) * f); };
        table[d] =
            qRgb(channel(a.color.red(), b.color.red()), channel(a.color.green(), b.color.green()),
                 channel(a.color.blue(), b.color.blue()));
    }
    return table;
}

QImage comparable(const QImage& image, QSize size) {
    QImage scaled = image.size() == size
                        ? image
                        : image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // Opaque 32-bit pixels read as premultiplied ones with full alpha: no copy needed.
    if (scaled.format() == QImage::Format_RGB32 ||
        scaled.format() == QImage::Format_ARGB32_Premultiplied)
        return scaled;
    return scaled.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
} // namespace

QImage differenceMap(const QImage& source, const QImage& result) {
    if (source.isNull() || result.isNull())
        return {};
    static const HeatTable heat = makeHeatTable();
    const QImage a = comparable(source, source.size());
    const QImage b = comparable(result, source.size());
    QImage map(source.size(), QImage::Format_RGB32);
    for (int y = 0; y < map.height(); ++y) {
        const auto* lineA = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* lineB = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(map.scanLine(y));
        for (int x = 0; x < map.width(); ++x) {
            const QRgb p = lineA[x];
            const QRgb q = lineB[x];
            const int d =
                qMax(qMax(std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q))),
                     qMax(std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))));
            out[x] = heat[d];
        }
    }
    return map;
}
