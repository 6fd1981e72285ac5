#pragma once
#include <QByteArray>
#include <QList>
#include <QRgb>

// A minimal GIF89a encoder for test inputs (Qt can read GIF but not write it): frames of
// palette indices 0..3 over a fixed four-colour palette, looping, 100 ms per frame.
namespace GifWriter {
// Each frame holds width * height indices, row by row.
QByteArray animatedGif(int width, int height, const QList<QByteArray>& frames);
// Two frames of width x height in different colours.
QByteArray twoFrameGif(int width, int height);
} // namespace GifWriter
