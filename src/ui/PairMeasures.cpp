#include "PairMeasures.h"

#include "ImageMetadata.h"
#include "InputNormaliser.h"
#include "ResizeStep.h"

#include <limits>

ImageMeasures::Measures measurePair(const QString& source, const QString& result) {
    const QImage produced = InputNormaliser::readUpright(result, 1);
    QImage reference =
        InputNormaliser::readUpright(source, SourceMetadata::read(source).orientation());
    if (produced.isNull() || reference.isNull()) {
        const double none = std::numeric_limits<double>::quiet_NaN();
        return {none, none};
    }
    if (reference.size() != produced.size())
        reference = ResizeStep::resizedToFit(reference, qMax(produced.width(), produced.height()));
    if (reference.hasAlphaChannel() && !produced.hasAlphaChannel())
        reference = InputNormaliser::flattenOntoWhite(reference);
    return ImageMeasures::measure(reference, produced);
}
