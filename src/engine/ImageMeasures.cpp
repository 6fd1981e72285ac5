#include "ImageMeasures.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace ImageMeasures {
namespace {

constexpr int Window = 11;
constexpr double Sigma = 1.5;
constexpr double IdenticalPsnr = 99;
constexpr float C1 = (0.01f * 255) * (0.01f * 255);
constexpr float C2 = (0.03f * 255) * (0.03f * 255);
constexpr double NotComparable = std::numeric_limits<double>::quiet_NaN();

QImage rgbOf(const QImage& image) {
    // Premultiplied colours would be the pixel composited on black; the measures ignore alpha.
    if (image.pixelFormat().premultiplied() == QPixelFormat::Premultiplied)
        return image.convertToFormat(QImage::Format_ARGB32).convertToFormat(QImage::Format_RGB888);
    return image.convertToFormat(QImage::Format_RGB888);
}

bool comparable(const QImage& a, const QImage& b) {
    return !a.isNull() && !b.isNull() && a.size() == b.size();
}

double psnrOfRgb(const QImage& a, const QImage& b) {
    const int rowBytes = a.width() * 3;
    qint64 squares = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* p = a.constScanLine(y);
        const uchar* q = b.constScanLine(y);
        for (int i = 0; i < rowBytes; ++i) {
            const int d = p[i] - q[i];
            squares += d * d;
        }
    }
    if (squares == 0)
        return IdenticalPsnr;
    const double mse = static_cast<double>(squares) / (static_cast<double>(rowBytes) * a.height());
    return std::min(IdenticalPsnr, 10 * std::log10(255.0 * 255.0 / mse));
}

// The 1-D Gaussian over `taps` samples centred on the middle of them, summing to 1.
std::vector<float> gaussian(int taps) {
    std::vector<float> weights(taps);
    const double centre = (taps - 1) / 2.0;
    double sum = 0;
    std::vector<double> raw(taps);
    for (int i = 0; i < taps; ++i) {
        raw[i] = std::exp(-(i - centre) * (i - centre) / (2 * Sigma * Sigma));
        sum += raw[i];
    }
    for (int i = 0; i < taps; ++i)
        weights[i] = static_cast<float>(raw[i] / sum);
    return weights;
}

// Luma less mid-grey: the second moments stay small, so float keeps the variances exact to
// well below the constants they are compared with.
constexpr float MidGrey = 128;

void lumaRow(const uchar* rgb, int width, float* luma) {
    for (int x = 0; x < width; ++x, rgb += 3)
        luma[x] = 0.299f * rgb[0] + 0.587f * rgb[1] + 0.114f * rgb[2] - MidGrey;
}

// The five windowed moments of one row or one window row: means, second moments, product.
enum Moment { MeanA, MeanB, SquareA, SquareB, Product, MomentCount };

double ssimOfRgb(const QImage& a, const QImage& b) {
    const int width = a.width();
    const int height = a.height();
    const int tapsX = std::min(Window, width);
    const int tapsY = std::min(Window, height);
    const std::vector<float> weightX = gaussian(tapsX);
    const std::vector<float> weightY = gaussian(tapsY);
    const int outWidth = width - tapsX + 1;
    const int outHeight = height - tapsY + 1;
    const size_t plane = static_cast<size_t>(outWidth);

    // One pass over the rows: each is filtered horizontally into a ring of the last tapsY
    // rows, and each full ring is filtered vertically into one row of windows.
    std::vector<float> lumaA(width), lumaB(width), square(width);
    std::vector<float> ring(static_cast<size_t>(tapsY) * MomentCount * plane);
    std::vector<float> window(MomentCount * plane);
    double total = 0;
    for (int y = 0; y < height; ++y) {
        lumaRow(a.constScanLine(y), width, lumaA.data());
        lumaRow(b.constScanLine(y), width, lumaB.data());
        float* slot = ring.data() + static_cast<size_t>(y % tapsY) * MomentCount * plane;
        std::fill(slot, slot + MomentCount * plane, 0.0f);
        for (int k = 0; k < tapsX; ++k) {
            const float w = weightX[k];
            const float* pa = lumaA.data() + k;
            const float* pb = lumaB.data() + k;
            for (int x = 0; x < outWidth; ++x) {
                slot[MeanA * plane + x] += w * pa[x];
                slot[MeanB * plane + x] += w * pb[x];
                slot[SquareA * plane + x] += w * pa[x] * pa[x];
                slot[SquareB * plane + x] += w * pb[x] * pb[x];
                slot[Product * plane + x] += w * pa[x] * pb[x];
            }
        }
        if (y + 1 < tapsY)
            continue;
        std::fill(window.begin(), window.end(), 0.0f);
        for (int k = 0; k < tapsY; ++k) {
            const float w = weightY[k];
            const float* row =
                ring.data() + static_cast<size_t>((y + 1 + k) % tapsY) * MomentCount * plane;
            for (size_t i = 0; i < MomentCount * plane; ++i)
                window[i] += w * row[i];
        }
        double rowSum = 0;
        for (int x = 0; x < outWidth; ++x) {
            const float ca = window[MeanA * plane + x];
            const float cb = window[MeanB * plane + x];
            const float va = window[SquareA * plane + x] - ca * ca;
            const float vb = window[SquareB * plane + x] - cb * cb;
            const float cov = window[Product * plane + x] - ca * cb;
            const float ma = ca + MidGrey;
            const float mb = cb + MidGrey;
            rowSum +=
                ((2 * ma * mb + C1) * (2 * cov + C2)) / ((ma * ma + mb * mb + C1) * (va + vb + C2));
        }
        total += rowSum;
    }
    return total / (static_cast<double>(outWidth) * outHeight);
}

} // namespace

double psnr(const QImage& a, const QImage& b) {
    return comparable(a, b) ? psnrOfRgb(rgbOf(a), rgbOf(b)) : NotComparable;
}

double ssim(const QImage& a, const QImage& b) {
    return comparable(a, b) ? ssimOfRgb(rgbOf(a), rgbOf(b)) : NotComparable;
}

Measures measure(const QImage& reference, const QImage& result) {
    if (!comparable(reference, result))
        return {NotComparable, NotComparable};
    const QImage a = rgbOf(reference);
    const QImage b = rgbOf(result);
    return {psnrOfRgb(a, b), ssimOfRgb(a, b)};
}

} // namespace ImageMeasures
