#pragma once
#include <QImage>
#include <QSize>
#include <QString>

// Why an image could not be shown.
enum class DecodeFailure {
    None,
    Unreadable, // missing, a folder, or no permission to read it
    Damaged,    // no decoder accepts it: truncated, corrupted or not an image at all
    TooLarge,   // wider or taller than the application accepts
};

struct DecodedImage {
    QImage image;   // premultiplied or opaque 32-bit, ready to paint; null on failure
    QSize fullSize; // the file's own pixel size, also when image was decoded smaller
    qint64 bytes = 0;
    bool animated = false; // more than one frame; image holds the first
    DecodeFailure failure = DecodeFailure::None;
};

// Decodes the file at path with the application's limits: the pixel limit per side is checked
// on the header before any pixel is decoded, and Qt's allocation limit refuses what a lying
// header slips past. With fitInto valid, the image is decoded (where the format allows) and
// scaled to fit inside it, keeping its aspect, never enlarged. Safe on any thread.
DecodedImage decodeImage(const QString& path, QSize fitInto = {});
