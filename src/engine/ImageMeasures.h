#pragma once
#include <QImage>

#include <memory>

// How close a result is to its source, by two measures used everywhere the same way:
// - PSNR over R, G and B together on 8-bit values, in dB; identical pixels give 99, which is
//   also the ceiling for near-identical ones.
// - SSIM of the BT.601 luma (0.299 R + 0.587 G + 0.114 B, unrounded), Gaussian window 11x11
//   with sigma 1.5, K1 = 0.01, K2 = 0.03, L = 255, the mean over every window position that
//   lies fully inside the image. In a dimension shorter than 11 px the window spans that whole
//   dimension once, with the same Gaussian centred on it and renormalised, so a 5x40 image is
//   measured by 30 windows of 5x11 and a 1x1 image by its single pixel.
// Both images are read as 8-bit RGB (straight colour: alpha is ignored, not composited) and
// must have the same, non-empty size; otherwise the measures are NaN, which meets no goal.
// Reentrant and blocking: callers run them off the interface thread, on a pool.
namespace ImageMeasures {

struct Measures {
    double psnr;
    double ssim;
};

double psnr(const QImage& a, const QImage& b);
double ssim(const QImage& a, const QImage& b);
// Both measures, each image converted once.
Measures measure(const QImage& reference, const QImage& result);

// SSIM against one reference for many results (a quality search): what depends on the
// reference alone is worked out once. The same values as ssim().
class SsimReference {
public:
    explicit SsimReference(const QImage& reference);
    double ssimOf(const QImage& result) const;

private:
    struct Planes;
    std::shared_ptr<const Planes> planes_;
};

} // namespace ImageMeasures
