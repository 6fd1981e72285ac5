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

// The windowed moments: the reference's two (kept for every window row), and the three that
// change with each result.
enum Moment { MeanB, SquareB, Product, MomentCount };

// A horizontal Gaussian pass over one row: out[x] = sum over the taps of w[k] * in[x + k].
// The arrays never overlap, so the compiler can vectorise it.
void filterRow(const float* __restrict in, float* __restrict out, const std::vector<float>& weights,
               int outWidth) {
    std::fill(out, out + outWidth, 0.0f);
    for (size_t k = 0; k < weights.size(); ++k) {
        const float w = weights[k];
        for (int x = 0; x < outWidth; ++x)
            out[x] += w * in[x + k];
    }
}

} // namespace

// The reference's luma and windowed mean and second moment, row by row.
struct SsimReference::Planes {
    int width = 0;
    int height = 0;
    int tapsX = 0;
    int tapsY = 0;
    int outWidth = 0;
    int outHeight = 0;
    std::vector<float> weightX, weightY;
    std::vector<float> luma;   // width x height, less mid-grey
    std::vector<float> mean;   // outWidth x outHeight
    std::vector<float> square; // outWidth x outHeight
};

SsimReference::SsimReference(const QImage& reference) {
    if (reference.isNull())
        return;
    const QImage a = rgbOf(reference);
    auto planes = std::make_shared<Planes>();
    Planes& p = *planes;
    p.width = a.width();
    p.height = a.height();
    p.tapsX = std::min(Window, p.width);
    p.tapsY = std::min(Window, p.height);
    p.weightX = gaussian(p.tapsX);
    p.weightY = gaussian(p.tapsY);
    p.outWidth = p.width - p.tapsX + 1;
    p.outHeight = p.height - p.tapsY + 1;
    p.luma.resize(static_cast<size_t>(p.width) * p.height);
    const size_t plane = static_cast<size_t>(p.outWidth);
    std::vector<float> ringMean(static_cast<size_t>(p.tapsY) * plane);
    std::vector<float> ringSquare(static_cast<size_t>(p.tapsY) * plane);
    std::vector<float> squares(p.width);
    p.mean.assign(plane * p.outHeight, 0.0f);
    p.square.assign(plane * p.outHeight, 0.0f);
    for (int y = 0; y < p.height; ++y) {
        float* luma = p.luma.data() + static_cast<size_t>(y) * p.width;
        lumaRow(a.constScanLine(y), p.width, luma);
        for (int x = 0; x < p.width; ++x)
            squares[x] = luma[x] * luma[x];
        const size_t slot = static_cast<size_t>(y % p.tapsY) * plane;
        filterRow(luma, ringMean.data() + slot, p.weightX, p.outWidth);
        filterRow(squares.data(), ringSquare.data() + slot, p.weightX, p.outWidth);
        if (y + 1 < p.tapsY)
            continue;
        float* __restrict mean = p.mean.data() + (y + 1 - p.tapsY) * plane;
        float* __restrict square = p.square.data() + (y + 1 - p.tapsY) * plane;
        for (int k = 0; k < p.tapsY; ++k) {
            const float w = p.weightY[k];
            const size_t row = static_cast<size_t>((y + 1 + k) % p.tapsY) * plane;
            const float* __restrict m = ringMean.data() + row;
            const float* __restrict q = ringSquare.data() + row;
            for (size_t x = 0; x < plane; ++x) {
                mean[x] += w * m[x];
                square[x] += w * q[x];
            }
        }
    }
    planes_ = std::move(planes);
}

double SsimReference::ssimOf(const QImage& result) const {
    if (!planes_ || result.isNull() || result.size() != QSize(planes_->width, planes_->height))
        return NotComparable;
    const Planes& p = *planes_;
    const QImage b = rgbOf(result);
    const size_t plane = static_cast<size_t>(p.outWidth);
    // One pass over the rows: each is filtered horizontally into a ring of the last tapsY
    // rows, and each full ring is filtered vertically into one row of windows.
    std::vector<float> rows(static_cast<size_t>(MomentCount) * p.width);
    float* inputs[MomentCount];
    for (int m = 0; m < MomentCount; ++m)
        inputs[m] = rows.data() + static_cast<size_t>(m) * p.width;
    std::vector<float> ring(static_cast<size_t>(p.tapsY) * MomentCount * plane);
    std::vector<float> window(MomentCount * plane);
    double total = 0;
    for (int y = 0; y < p.height; ++y) {
        const float* __restrict la = p.luma.data() + static_cast<size_t>(y) * p.width;
        float* __restrict lb = inputs[MeanB];
        float* __restrict bb = inputs[SquareB];
        float* __restrict ab = inputs[Product];
        lumaRow(b.constScanLine(y), p.width, lb);
        for (int x = 0; x < p.width; ++x) {
            bb[x] = lb[x] * lb[x];
            ab[x] = la[x] * lb[x];
        }
        float* slot = ring.data() + static_cast<size_t>(y % p.tapsY) * MomentCount * plane;
        for (int m = 0; m < MomentCount; ++m)
            filterRow(inputs[m], slot + m * plane, p.weightX, p.outWidth);
        if (y + 1 < p.tapsY)
            continue;
        float* __restrict sum = window.data();
        std::fill(sum, sum + MomentCount * plane, 0.0f);
        for (int k = 0; k < p.tapsY; ++k) {
            const float w = p.weightY[k];
            const float* __restrict row =
                ring.data() + static_cast<size_t>((y + 1 + k) % p.tapsY) * MomentCount * plane;
            for (size_t i = 0; i < MomentCount * plane; ++i)
                sum[i] += w * row[i];
        }
        const size_t windowRow = static_cast<size_t>(y + 1 - p.tapsY) * plane;
        const float* meanA = p.mean.data() + windowRow;
        const float* squareA = p.square.data() + windowRow;
        double rowSum = 0;
        for (int x = 0; x < p.outWidth; ++x) {
            const float ca = meanA[x];
            const float cb = window[MeanB * plane + x];
            const float va = squareA[x] - ca * ca;
            const float vb = window[SquareB * plane + x] - cb * cb;
            const float cov = window[Product * plane + x] - ca * cb;
            const float ma = ca + MidGrey;
            const float mb = cb + MidGrey;
            rowSum +=
                ((2 * ma * mb + C1) * (2 * cov + C2)) / ((ma * ma + mb * mb + C1) * (va + vb + C2));
        }
        total += rowSum;
    }
    return total / (static_cast<double>(p.outWidth) * p.outHeight);
}

namespace {

double ssimOfRgb(const QImage& a, const QImage& b) {
    return SsimReference(a).ssimOf(b);
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
