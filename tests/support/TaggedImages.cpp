#include "TaggedImages.h"

#include "TestFiles.h"

#include <QColorSpace>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <jpeglib.h>

namespace TaggedImages {

QByteArray wideGamutProfile() {
    return QColorSpace(QColorSpace::AdobeRgb).iccProfile();
}

namespace {
// Runs exiv2 with arguments; its standard output.
QByteArray exiv2(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("exiv2"), arguments);
    process.waitForFinished(30000);
    return process.readAllStandardOutput();
}
} // namespace

QString write(const QString& path, const QString& kind, const Tags& tags) {
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(0, 0, 8, 8, Qt::red);
    painter.end();
    if (tags.profile)
        image.setColorSpace(QColorSpace::fromIccProfile(wideGamutProfile()));
    if (kind == QLatin1String("webp")) {
        // The real encoder carries the profile from a PNG into the WebP.
        const QString png = path + QStringLiteral(".src.png");
        image.save(png, "png");
        QProcess::execute(TestFiles::realToolsDirectory() + QStringLiteral("/cwebp-x8664"),
                          {QStringLiteral("-quiet"), QStringLiteral("-metadata"),
                           QStringLiteral("icc"), png, QStringLiteral("-o"), path});
        QFile::remove(png);
    } else {
        image.save(path, kind.toLatin1().constData(), 95);
    }
    QStringList arguments;
    if (tags.metadata)
        arguments << QStringLiteral("-Mset Exif.Photo.DateTimeOriginal Ascii %1").arg(DateTaken)
                  << QStringLiteral("-Mset Exif.Image.Model Ascii %1").arg(CameraModel)
                  << QStringLiteral("-Mset Exif.GPSInfo.GPSLatitudeRef Ascii N")
                  << QStringLiteral("-Mset Exif.GPSInfo.GPSLatitude Rational 48/1 51/1 24/1")
                  << QStringLiteral("-Mset Xmp.dc.title LangAlt %1").arg(XmpTitle);
    if (tags.orientation != 1)
        arguments << QStringLiteral("-Mset Exif.Image.Orientation Short %1").arg(tags.orientation);
    if (!arguments.isEmpty())
        exiv2(arguments << path);
    return path;
}

QString writeCmykJpeg(const QString& path) {
    FILE* out = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (out == nullptr)
        return path;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = 32;
    info.image_height = 16;
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    info.write_Adobe_marker = TRUE;
    jpeg_start_compress(&info, TRUE);
    // Inverted CMYK as Adobe writes it: 255 is no ink. Left half cyan.
    std::vector<JSAMPLE> row(32 * 4, 255);
    for (int x = 0; x < 16; ++x)
        row[x * 4] = 0;
    JSAMPROW rows[] = {row.data()};
    while (info.next_scanline < info.image_height)
        jpeg_write_scanlines(&info, rows, 1);
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(out);
    return path;
}

QByteArray profileOf(const QString& path) {
    return exiv2({QStringLiteral("-pC"), path});
}

QString tagValue(const QString& path, const QString& key) {
    return QString::fromUtf8(exiv2({QStringLiteral("-K"), key, QStringLiteral("-Pv"), path}))
        .trimmed();
}

QString writeWebpWithOversizedXmp(const QString& path) {
    Tags tags;
    tags.metadata = false;
    const QString plain = write(path + QStringLiteral(".plain.webp"), QStringLiteral("webp"), tags);
    const QByteArray packet =
        "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF "
        "xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"><rdf:Description "
        "rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:source>" +
        QByteArray(70000, 'x') + "</dc:source></rdf:Description></rdf:RDF></x:xmpmeta>";
    const QString xmp = TestFiles::writeBytes(path + QStringLiteral(".xmp"), packet);
    QProcess::execute(QStringLiteral("webpmux"), {QStringLiteral("-set"), QStringLiteral("xmp"),
                                                  xmp, plain, QStringLiteral("-o"), path});
    QFile::remove(plain);
    QFile::remove(xmp);
    return path;
}

QByteArray webpmuxProfile(const QString& path) {
    QTemporaryDir dir;
    const QString icc = dir.filePath(QStringLiteral("profile.icc"));
    QProcess::execute(QStringLiteral("webpmux"), {QStringLiteral("-get"), QStringLiteral("icc"),
                                                  path, QStringLiteral("-o"), icc});
    return TestFiles::head(icc, 1 << 24);
}

} // namespace TaggedImages
