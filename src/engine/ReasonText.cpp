#include "ReasonText.h"

#include <QCoreApplication>

QString reasonText(Reason reason, const QString& detail) {
    if (!detail.isEmpty())
        return detail;
    switch (reason) {
    case Reason::AlreadyExists:
        return QCoreApplication::translate("Reason", "already exists");
    case Reason::Cancelled:
        return QCoreApplication::translate("Reason", "cancelled");
    case Reason::NotUtf8FileName:
        return QCoreApplication::translate("Reason", "the file name is not valid UTF-8");
    case Reason::NotUtf8FolderName:
        return QCoreApplication::translate("Reason", "the folder name is not valid UTF-8");
    case Reason::NotRegularFile:
        return QCoreApplication::translate("Reason", "not a regular file");
    case Reason::Missing:
        return QCoreApplication::translate("Reason", "No such file or directory");
    case Reason::NameTooLong:
        return QCoreApplication::translate("Reason", "the file name is too long");
    case Reason::Oversize:
        return QCoreApplication::translate(
                   "Reason", "You have image(s) with height or width dimension over %1px. Please "
                             "resize it before uploading")
            .arg(MaxImageSide);
    case Reason::AnimatedWebp:
        return QCoreApplication::translate(
            "Reason", "Error! Decoding of an animated WebP file is not supported.");
    default:
        return QCoreApplication::translate("Reason", "the conversion failed");
    }
}
