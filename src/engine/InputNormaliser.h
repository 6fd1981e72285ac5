#pragma once
#include <QImage>
#include <QString>

// In-process image steps around the tools: the lossless copy a tool reads when it cannot read
// the source itself, and the pixel work on a tool's output (upright, JPEG encoding).
namespace InputNormaliser {
// True (with the log line) when the file starts with 0xFF 0xD8; reads only two bytes.
bool hasJpegContent(const QString& path);
// True when the file is an animated WebP, which the decoder cannot decode; reads its header.
bool isAnimatedWebp(const QString& path);

// True when cwebp decodes this JPEG itself: Huffman-coded (baseline, extended or
// progressive), 8 bits, grey or three components. CMYK/YCCK, 12-bit, lossless, arithmetic
// coded or unparseable files are not.
bool toolReadsJpeg(const QString& path);

// The image turned upright by EXIF orientation 1..8.
QImage upright(const QImage& image, int orientation);

// Decodes the image at path, turns it upright by EXIF orientation and shrinks it to maxSide
// (0: as it is). A null image when it cannot be decoded.
QImage readUpright(const QString& path, int orientation, int maxSide = 0);

// The source as readUpright gives it, written losslessly: a raw PPM at copyStem + ".ppm", or an
// uncompressed PNG at copyStem + ".png" when it has transparency. The path written, or "".
QString writeLosslessCopy(const QString& sourcePath, const QString& copyStem, int orientation,
                          int maxSide = 0);

// Transparency flattened onto white, as a JPEG must show it.
QImage flattenOntoWhite(const QImage& image);
// A JPEG of an image without transparency, at quality 0-100; empty when it cannot be encoded.
QByteArray encodeJpeg(const QImage& flat, int quality);
bool writeBytes(const QByteArray& bytes, const QString& path);
bool writePng(const QImage& image, const QString& path);
} // namespace InputNormaliser
