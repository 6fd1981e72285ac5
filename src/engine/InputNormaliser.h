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

// Decodes the source, turns it upright and writes it losslessly: a raw PPM at
// copyStem + ".ppm", or an uncompressed PNG at copyStem + ".png" when it has transparency.
// Returns the path written, or "" when it cannot be decoded or written.
QString writeLosslessCopy(const QString& sourcePath, const QString& copyStem, int orientation);

// Decodes the image file at sourcePath, turns it upright and writes it as JPEG at quality
// (0-100) to targetPath, flattening transparency onto white. False when it cannot be decoded
// or written.
bool reencodeFileAsJpeg(const QString& sourcePath, const QString& targetPath, int quality,
                        int orientation);

// Decodes sourcePath, turns it upright and writes it as PNG to targetPath.
bool writeUprightPng(const QString& sourcePath, const QString& targetPath, int orientation);
} // namespace InputNormaliser
