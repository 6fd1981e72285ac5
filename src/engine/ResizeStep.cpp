#include "ResizeStep.h"

#include <algorithm>

namespace ResizeStep {

QSize fittedSize(QSize source, int maxSide) {
    const qint64 longest = std::max(source.width(), source.height());
    if (maxSide < 1 || source.isEmpty() || longest <= maxSide)
        return source;
    const auto scaled = [&](qint64 side) {
        return static_cast<int>(std::max<qint64>(1, (side * maxSide + longest / 2) / longest));
    };
    return {scaled(source.width()), scaled(source.height())};
}

QImage resizedToFit(const QImage& image, int maxSide) {
    const QSize size = fittedSize(image.size(), maxSide);
    if (size == image.size())
        return image;
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace ResizeStep
