#include "ImageMetadata.h"

#include <QFile>

#include <webp/mux.h>

#include <mutex>
#include <stdexcept>

// libexiv2 0.27 still hands images out as std::auto_ptr; that deprecation is its own, and
// stays confined to this file.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>

namespace {

const char OrientationExifKey[] = "Exif.Image.Orientation";
const char OrientationXmpKey[] = "Xmp.tiff.Orientation";

// The XMP toolkit must be set up once before threads use it; exiv2's own console
// warnings would only be noise on a user's terminal.
void initialiseOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize();
    });
}

std::string nativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// Nothing for a file exiv2 does not know (a GIF, say): such a file simply carries nothing.
Exiv2::Image::AutoPtr openImage(const QString& path) {
    const std::string native = nativePath(path);
    if (Exiv2::ImageFactory::getType(native) == Exiv2::ImageType::none)
        return Exiv2::Image::AutoPtr();
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(native);
    image->readMetadata();
    return image;
}

QByteArray iccOf(Exiv2::Image& image) {
    if (!image.iccProfileDefined())
        return {};
    const Exiv2::DataBuf* icc = image.iccProfile();
    return QByteArray(reinterpret_cast<const char*>(icc->pData_), static_cast<int>(icc->size_));
}

bool isWebp(const QString& path) {
    QFile file(path);
    const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(12) : QByteArray();
    return head.startsWith("RIFF") && head.mid(8, 4) == "WEBP";
}

const char* const WebpChunks[] = {"ICCP", "EXIF", "XMP "};

// The WebP container is written with libwebpmux: exiv2 0.27 files a WebP profile under the
// wrong chunk name, which other readers then refuse. exiv2 still encodes EXIF and XMP.
class WebpMux {
public:
    explicit WebpMux(const QString& path) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            bytes_ = file.readAll();
        const WebPData data{reinterpret_cast<const uint8_t*>(bytes_.constData()),
                            static_cast<size_t>(bytes_.size())};
        mux_ = WebPMuxCreate(&data, 0);
    }
    ~WebpMux() {
        if (mux_ != nullptr)
            WebPMuxDelete(mux_);
    }
    WebpMux(const WebpMux&) = delete;
    WebpMux& operator=(const WebpMux&) = delete;

    bool isValid() const { return mux_ != nullptr; }
    QByteArray chunk(const char* fourcc) const {
        WebPData data{};
        if (WebPMuxGetChunk(mux_, fourcc, &data) != WEBP_MUX_OK)
            return {};
        return QByteArray(reinterpret_cast<const char*>(data.bytes),
                          static_cast<qsizetype>(data.size));
    }
    // Replaces the three metadata chunks by the given ones (an empty one: none) and rewrites
    // the file.
    bool write(const QString& path, const QByteArray (&chunks)[3]) {
        for (int i = 0; i < 3; ++i) {
            WebPMuxDeleteChunk(mux_, WebpChunks[i]);
            if (chunks[i].isEmpty())
                continue;
            const WebPData data{reinterpret_cast<const uint8_t*>(chunks[i].constData()),
                                static_cast<size_t>(chunks[i].size())};
            if (WebPMuxSetChunk(mux_, WebpChunks[i], &data, 1) != WEBP_MUX_OK)
                return false;
        }
        WebPData out{};
        if (WebPMuxAssemble(mux_, &out) != WEBP_MUX_OK)
            return false;
        QFile file(path);
        const bool written =
            file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
            file.write(reinterpret_cast<const char*>(out.bytes), static_cast<qint64>(out.size)) ==
                static_cast<qint64>(out.size) &&
            file.flush();
        WebPDataClear(&out);
        return written;
    }

private:
    QByteArray bytes_; // the mux refers to these bytes
    WebPMux* mux_ = nullptr;
};

} // namespace

struct SourceMetadata::Captured {
    Exiv2::ExifData exif;
    Exiv2::XmpData xmp;
};

namespace {

// Orientation 1 in both places a viewer may look: the pixels were turned upright.
void markUpright(Exiv2::ExifData& exif, Exiv2::XmpData& xmp) {
    if (exif.findKey(Exiv2::ExifKey(OrientationExifKey)) != exif.end())
        exif[OrientationExifKey] = static_cast<uint16_t>(1);
    if (xmp.findKey(Exiv2::XmpKey(OrientationXmpKey)) != xmp.end())
        xmp[OrientationXmpKey] = std::string("1");
}

// Returns an error text, or "" when the WebP now carries exactly what is wanted.
QString writeWebp(const QString& path, const QByteArray& icc, const Exiv2::ExifData* exif,
                  const Exiv2::XmpData* xmp) {
    WebpMux mux(path);
    if (!mux.isValid())
        return QStringLiteral("the WebP container cannot be read");
    const bool stray = !mux.chunk("EXIF").isEmpty() || !mux.chunk("XMP ").isEmpty();
    if (mux.chunk("ICCP") == icc && exif == nullptr && !stray)
        return {};
    QByteArray chunks[3] = {icc, {}, {}};
    if (exif != nullptr && !exif->empty()) {
        Exiv2::Blob blob;
        Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, *exif);
        chunks[1] = QByteArray(reinterpret_cast<const char*>(blob.data()),
                               static_cast<qsizetype>(blob.size()));
    }
    if (xmp != nullptr && !xmp->empty()) {
        std::string packet;
        if (Exiv2::XmpParser::encode(packet, *xmp) != 0)
            return QStringLiteral("the XMP data cannot be encoded");
        chunks[2] = QByteArray::fromStdString(packet);
    }
    return mux.write(path, chunks) ? QString()
                                   : QStringLiteral("the WebP container cannot be written");
}

} // namespace

SourceMetadata SourceMetadata::read(const QString& path) {
    initialiseOnce();
    SourceMetadata source;
    try {
        Exiv2::Image::AutoPtr image = openImage(path);
        if (image.get() == nullptr)
            return source;
        source.icc_ = iccOf(*image);
        auto captured = std::make_shared<Captured>();
        captured->exif = image->exifData();
        captured->xmp = image->xmpData();
        const auto orientation = captured->exif.findKey(Exiv2::ExifKey(OrientationExifKey));
        if (orientation != captured->exif.end() && orientation->count() > 0) {
            const long value = orientation->toLong();
            source.orientation_ = value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
        }
        if (!captured->exif.empty() || !captured->xmp.empty())
            source.captured_ = std::move(captured);
    } catch (const std::exception& error) {
        source.readError_ = QString::fromLocal8Bit(error.what());
    }
    return source;
}

SourceMetadata::Transfer SourceMetadata::writeInto(const QString& workFile, bool keepProfile,
                                                   bool keepMetadata) const {
    initialiseOnce();
    Transfer transfer;
    const QByteArray wantedIcc = keepProfile ? icc_ : QByteArray();
    const bool wantMetadata = keepMetadata && captured_ != nullptr;
    if (!readError_.isEmpty() && (keepProfile || keepMetadata))
        transfer.warning =
            QStringLiteral("The colour profile and metadata could not be read: %1").arg(readError_);
    try {
        if (isWebp(workFile)) {
            Exiv2::ExifData exif = wantMetadata ? captured_->exif : Exiv2::ExifData();
            Exiv2::XmpData xmp = wantMetadata ? captured_->xmp : Exiv2::XmpData();
            markUpright(exif, xmp);
            const QString error = writeWebp(workFile, wantedIcc, wantMetadata ? &exif : nullptr,
                                            wantMetadata ? &xmp : nullptr);
            if (!error.isEmpty())
                throw std::runtime_error(error.toStdString());
            transfer.profileCarried = !wantedIcc.isEmpty();
            transfer.metadataCarried = wantMetadata;
            return transfer;
        }
        Exiv2::Image::AutoPtr image = openImage(workFile);
        if (image.get() == nullptr) {
            if (!wantedIcc.isEmpty() || wantMetadata)
                transfer.warning = QStringLiteral("This kind of result cannot carry a colour "
                                                  "profile or metadata");
            return transfer;
        }
        // Some tools copy metadata of their own accord: the result must hold only what the
        // user chose, so a stray profile or packet is removed as well.
        const bool strayMetadata = !image->exifData().empty() || !image->xmpData().empty();
        if (iccOf(*image) == wantedIcc && !wantMetadata && !strayMetadata) {
            transfer.profileCarried = !wantedIcc.isEmpty();
            return transfer;
        }
        image->clearMetadata();
        if (!wantedIcc.isEmpty()) {
            Exiv2::DataBuf icc(reinterpret_cast<const Exiv2::byte*>(wantedIcc.constData()),
                               wantedIcc.size());
            image->setIccProfile(icc, false);
        }
        if (wantMetadata) {
            Exiv2::ExifData exif = captured_->exif;
            Exiv2::XmpData xmp = captured_->xmp;
            markUpright(exif, xmp);
            image->setExifData(exif);
            image->setXmpData(xmp);
        }
        image->writeMetadata();
        transfer.profileCarried = !wantedIcc.isEmpty();
        transfer.metadataCarried = wantMetadata;
    } catch (const std::exception& error) {
        transfer.profileCarried = false;
        transfer.metadataCarried = false;
        transfer.warning = QStringLiteral("The colour profile and metadata could not be written "
                                          "into the result: %1")
                               .arg(QString::fromLocal8Bit(error.what()));
    }
    return transfer;
}

#pragma GCC diagnostic pop
