#include "AimedEncoding.h"

#include "ImageMeasures.h"
#include "InputNormaliser.h"
#include "QualitySearch.h"
#include "SizeArgument.h"
#include "SizeSummary.h"

#include <QBuffer>
#include <QImageReader>

#include <cmath>
#include <map>

namespace AimedEncoding {

Encoded jpegAtAim(const QImage& flat, const Aim& aim, int quality) {
    Encoded encoded;
    if (aim.kind == Aim::Kind::Quality) {
        encoded.bytes = InputNormaliser::encodeJpeg(flat, quality);
        encoded.quality = quality;
        return encoded;
    }
    const bool bySize = aim.kind == Aim::Kind::FileSize;
    QualitySearch search(bySize ? QualitySearch::Goal(QualitySearch::TargetBytes{aim.targetBytes})
                                : QualitySearch::Goal(QualitySearch::TargetSsim{aim.targetSsim}),
                         bySize ? MaxSizeEncodes : MaxFidelityEncodes);
    std::map<int, QByteArray> tried;
    // The cheapest end first, as for the encoders: often one encode settles it.
    for (std::optional<int> next = bySize ? QualitySearch::MaxQuality : 0; next;
         next = search.nextQuality()) {
        const QByteArray bytes = InputNormaliser::encodeJpeg(flat, *next);
        std::optional<double> ssim;
        if (!bySize && !bytes.isEmpty())
            ssim = ImageMeasures::ssim(flat, QImage::fromData(bytes, "JPEG"));
        search.report(*next, bytes.size(), ssim);
        tried[*next] = bytes;
    }
    const QualitySearch::Choice choice = search.chosen();
    encoded.bytes = tried[choice.quality];
    encoded.quality = choice.quality;
    encoded.ssim = choice.ssim;
    encoded.reached = choice.reached;
    return encoded;
}

QString sizeNotReached(qint64 target, qint64 got) {
    QString wanted = SizeArgument::shortText(target);
    QString reached = SizeArgument::shortText(got);
    // Short texts may round to the same words: then the bytes tell them apart.
    if (wanted == reached) {
        wanted = QStringLiteral("%1 bytes").arg(target);
        reached = QStringLiteral("%1 bytes").arg(got);
    }
    return QStringLiteral("could not reach %1 (got %2)").arg(wanted, reached);
}

QString fidelityNotReached(double target, double got) {
    return QStringLiteral("could not reach SSIM %1 (got %2)")
        .arg(target, 0, 'f', 3)
        .arg(got, 0, 'f', 3);
}

QString aimDoesNotApply(const Aim& aim, int quality) {
    const QString what = aim.kind == Aim::Kind::FileSize ? QStringLiteral("a file size")
                                                         : QStringLiteral("a visual fidelity");
    return QStringLiteral("%1 cannot be aimed at for this kind of image; converted at quality %2")
        .arg(what)
        .arg(quality);
}

QString notSmaller(qint64 sourceBytes, qint64 resultBytes) {
    const qint64 saving = std::llround(SizeSummary::savingPercent(sourceBytes, resultBytes));
    if (saving < 0)
        return QStringLiteral("would be %1 % larger; the source is kept as it is").arg(-saving);
    return QStringLiteral("would save only %1 %; the source is kept as it is").arg(saving);
}

bool savesTooLittle(const Aim& aim, qint64 sourceBytes, qint64 resultBytes) {
    return aim.minSavingPercent > 0 &&
           SizeSummary::savingPercent(sourceBytes, resultBytes) < aim.minSavingPercent;
}

} // namespace AimedEncoding
