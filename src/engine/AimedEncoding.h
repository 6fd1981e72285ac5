#pragma once
#include "Aim.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

// Encoding a still at an aim, and the words the reports use about aims.
namespace AimedEncoding {

// A result searched for takes at most this many encodes (a bisection over the quality): a
// size needs no measure, so it can afford one more.
inline constexpr int MaxSizeEncodes = 6;
inline constexpr int MaxFidelityEncodes = 5;

struct Encoded {
    QByteArray bytes;           // empty when the encoder failed
    int quality = -1;           // the quality of the kept encode
    std::optional<double> ssim; // against the pixels, when the fidelity aim measured it
    bool reached = true;        // the aim's goal was met
};

// The JPEG of `flat` (no transparency) for the aim: one encode at `quality`, or the search for
// the file size or the fidelity. Blocks: runs on a pool.
Encoded jpegAtAim(const QImage& flat, const Aim& aim, int quality);

// "could not reach 150 kB (got 171 kB)"
QString sizeNotReached(qint64 target, qint64 got);
// "could not reach SSIM 0.990 (got 0.984)"
QString fidelityNotReached(double target, double got);
// Why an input was converted at the fixed quality: the aim does not apply to its kind.
QString aimDoesNotApply(const Aim& aim, int quality);
// "would save only 3 %; the source is kept as it is"
QString notSmaller(qint64 sourceBytes, qint64 resultBytes);
// True when a result of resultBytes saves less than the aim's minimum.
bool savesTooLittle(const Aim& aim, qint64 sourceBytes, qint64 resultBytes);

} // namespace AimedEncoding
