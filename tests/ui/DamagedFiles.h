#pragma once
#include <QString>

// Broken images as they turn up on real disks, each made from a real PNG.
namespace DamagedFiles {
enum class Damage {
    Truncated,   // the download stopped part way
    ByteFlipped, // bits flipped in the middle of the pixel data
    WrongMagic,  // the first bytes say no known format
    HugeHeader,  // a valid header claiming 60000×60000 pixels, and no pixels
};
QString write(const QString& path, Damage damage);
} // namespace DamagedFiles
