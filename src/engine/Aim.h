#pragma once
#include <QtGlobal>

// What a conversion aims at beyond one fixed quality: a file size or a visual fidelity per
// image, a size limit in pixels, lossless results, a minimum saving, and measuring the results.
struct Aim {
    enum class Kind { Quality, FileSize, Fidelity };
    Kind kind = Kind::Quality;
    qint64 targetBytes = 0;   // FileSize: each result as close as it can at or below this
    double targetSsim = 0;    // Fidelity: the smallest result whose SSIM reaches this
    int maxSide = 0;          // the results' longest side at most this many pixels; 0: no limit
    bool lossless = false;    // WebP results keep every pixel of their source
    int minSavingPercent = 0; // a result not at least this much smaller is not kept; 0: always
    bool measure = false;     // report PSNR and SSIM of every result against its source

    // The visual fidelities the window offers, as SSIM: at "High" a result is hard to tell from
    // its source at 100 % zoom.
    enum class Fidelity { VeryHigh, High, Good };
    static constexpr double ssimOf(Fidelity fidelity) {
        return fidelity == Fidelity::VeryHigh ? 0.99 : fidelity == Fidelity::High ? 0.98 : 0.95;
    }
};
