#include "DamagedFiles.h"

#include "TestFiles.h"

#include <QtEndian>

namespace DamagedFiles {
namespace {
quint32 crc32(const QByteArray& bytes) {
    quint32 crc = 0xffffffffu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray chunk(const QByteArray& type, const QByteArray& data) {
    QByteArray length(4, 0), crc(4, 0);
    qToBigEndian(quint32(data.size()), length.data());
    qToBigEndian(crc32(type + data), crc.data());
    return length + type + data + crc;
}
} // namespace

QString write(const QString& path, Damage damage) {
    QByteArray bytes = TestFiles::head(TestFiles::writeImage(path, "png", {64, 48}), 1 << 20);
    switch (damage) {
    case Damage::Truncated:
        bytes.truncate(bytes.size() * 6 / 10);
        break;
    case Damage::ByteFlipped:
        for (qsizetype i = bytes.size() / 2; i < bytes.size() / 2 + 16; ++i)
            bytes[i] = char(bytes[i] ^ 0xff);
        break;
    case Damage::WrongMagic:
        bytes.replace(0, 4, "XXXX");
        break;
    case Damage::HugeHeader: {
        QByteArray header(13, 0);
        qToBigEndian(quint32(60000), header.data());
        qToBigEndian(quint32(60000), header.data() + 4);
        header[8] = 8; // bit depth
        header[9] = 6; // RGBA
        bytes = bytes.left(8) + chunk("IHDR", header) + chunk("IDAT", QByteArray(8, 0)) +
                chunk("IEND", {});
        break;
    }
    }
    return TestFiles::writeBytes(path, bytes);
}
} // namespace DamagedFiles
