#pragma once
#include <QByteArray>
#include <QString>

#include <optional>

// JPEG content is passed once through Qt's codec before a tool sees it.
namespace InputNormaliser {
// False (with the log line) when the file starts with 0xFF 0xD8; reads only two bytes.
bool checkWhetherTheImageIsInAStandardFormatWithPath(const QString& path);

// Re-encodes the source into copyPath by the source's extension ("png"/"PNG" -> PNG,
// "jpg"/"JPG" -> JPEG at quality 90). Returns copyPath, or "" when no copy was written.
QString convertPicturesToStandardFormats(const QString& sourcePath, const QString& copyPath);

// Decodes the source (orientation applied) into a raw PPM at copyPath. Returns copyPath, or
// "" when it cannot be decoded or written.
QString writeLosslessCopy(const QString& sourcePath, const QString& copyPath);

// The copy's file name: "<base>_documents.<ext>" with the extension as written.
QString normalisedCopyName(const QString& sourcePath);

// The image re-encoded as JPEG at quality 90, or nothing when it cannot be decoded.
std::optional<QByteArray> dataToJpgData(const QByteArray& data);

// Decodes the image file at sourcePath and writes it as JPEG at quality 90 to targetPath,
// flattening transparency onto white. False when it cannot be decoded or written.
bool reencodeFileAsJpeg(const QString& sourcePath, const QString& targetPath);
} // namespace InputNormaliser
