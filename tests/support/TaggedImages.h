#pragma once
#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>

// Source images carrying a wide-gamut profile, camera metadata and an orientation, and
// readers for results that do not go through the engine's own metadata code: the exiv2 and
// webpmux command-line tools.
namespace TaggedImages {
// Adobe RGB (1998) as an ICC profile.
QByteArray wideGamutProfile();

struct Tags {
    bool profile = true;
    bool metadata = true; // date taken, camera model, GPS position, XMP title
    int orientation = 1;  // written as an EXIF tag when not 1
};
inline const QString DateTaken = QStringLiteral("2021:06:01 10:20:30");
inline const QString CameraModel = QStringLiteral("Tessaro Test Camera");
inline const QString XmpTitle = QStringLiteral("lang=\"x-default\" Harbour at dusk");

// A 40x20 image, red in its top-left 8x8 corner, white elsewhere; kind: "jpeg", "png" or
// "webp" (made by the real cwebp from a tagged PNG).
QString write(const QString& path, const QString& kind, const Tags& tags);
// A still WebP whose XMP packet is larger than one JPEG segment can hold: its metadata fits
// a WebP but cannot be carried into a JPEG.
QString writeWebpWithOversizedXmp(const QString& path);
// A 32x16 CMYK JPEG (Adobe-style inverted), which cwebp cannot read.
QString writeCmykJpeg(const QString& path);

// Readers through the exiv2 tool.
QByteArray profileOf(const QString& path);
QString tagValue(const QString& path, const QString& key); // "" when absent
// The profile of a WebP as webpmux extracts it.
QByteArray webpmuxProfile(const QString& path);
} // namespace TaggedImages
