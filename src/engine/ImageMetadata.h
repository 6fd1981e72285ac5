#pragma once
#include <QByteArray>
#include <QString>

#include <memory>

// Colour profile, EXIF and XMP of a source image, carried into a converted work file with
// libexiv2. One step for every mode: the tools never see metadata options, so what a result
// carries depends only on the user's two choices.
class SourceMetadata {
public:
    // Reads what the image at path carries. Never fails: an image whose metadata cannot be
    // read carries nothing (readError() says why).
    static SourceMetadata read(const QString& path);

    // EXIF orientation 1..8; 1 when there is none or it is out of range.
    int orientation() const { return orientation_; }
    const QByteArray& iccProfile() const { return icc_; }
    const QString& readError() const { return readError_; }

    struct Transfer {
        bool profileCarried = false;  // the result holds the source's profile, byte for byte
        bool metadataCarried = false; // the result holds the source's EXIF/XMP
        QString warning;              // why not, when the source had them; "" when all went well
    };
    // Makes the work file carry exactly what is wanted: the source's profile when keepProfile,
    // its EXIF and XMP (orientation 1: the pixels are upright) when keepMetadata, nothing
    // else. Rewrites the file only when it has to.
    Transfer writeInto(const QString& workFile, bool keepProfile, bool keepMetadata) const;

private:
    struct Captured;
    std::shared_ptr<const Captured> captured_; // EXIF and XMP as read, when there were any
    QByteArray icc_;
    int orientation_ = 1;
    QString readError_;
};
