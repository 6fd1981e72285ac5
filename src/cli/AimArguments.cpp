#include "AimArguments.h"

#include "ModeTable.h"
#include "SizeArgument.h"

#include <QCommandLineParser>

#include <algorithm>

namespace AimArguments {

namespace {
const QString MaxSide = QStringLiteral("max-side");
const QString TargetSize = QStringLiteral("target-size");
const QString TargetSsim = QStringLiteral("target-ssim");
const QString Lossless = QStringLiteral("lossless");
const QString MinSaving = QStringLiteral("min-saving");
const QString Measure = QStringLiteral("measure");

std::optional<int> wholeNumber(const QString& text, int low, int high) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok && value >= low && value <= high ? std::optional<int>(value) : std::nullopt;
}

Parsed error(const QString& text) {
    return {Aim(), text};
}
} // namespace

QList<QCommandLineOption> options() {
    return {QCommandLineOption(MaxSide, {}, QStringLiteral("PX")),
            QCommandLineOption(TargetSize, {}, QStringLiteral("SIZE")),
            QCommandLineOption(TargetSsim, {}, QStringLiteral("S")),
            QCommandLineOption(Lossless),
            QCommandLineOption(MinSaving, {}, QStringLiteral("PCT")),
            QCommandLineOption(Measure)};
}

Parsed parse(const QCommandLineParser& parser, const QList<ConvertMode>& modes, bool qualityGiven) {
    Parsed parsed;
    Aim& aim = parsed.aim;
    const bool aimsApply = std::any_of(modes.cbegin(), modes.cend(), [](ConvertMode mode) {
        return ModeTable::traits(mode).aimsPerImage;
    });
    if (parser.isSet(MaxSide)) {
        const auto side = wholeNumber(parser.value(MaxSide), 1, 1 << 20);
        if (!side)
            return error(QStringLiteral("Invalid --max-side '%1': use a whole number of pixels "
                                        "from 1.")
                             .arg(parser.value(MaxSide)));
        aim.maxSide = *side;
    }
    if (parser.isSet(MinSaving)) {
        const auto saving = wholeNumber(parser.value(MinSaving), 0, 99);
        if (!saving)
            return error(QStringLiteral("Invalid --min-saving '%1': use a whole number from 0 "
                                        "to 99.")
                             .arg(parser.value(MinSaving)));
        aim.minSavingPercent = *saving;
    }
    aim.lossless = parser.isSet(Lossless);
    aim.measure = parser.isSet(Measure);
    const bool bySize = parser.isSet(TargetSize);
    const bool bySsim = parser.isSet(TargetSsim);
    if (bySsim && (bySize || qualityGiven))
        return error(QStringLiteral("--target-ssim cannot be used with --quality or "
                                    "--target-size."));
    if ((bySize || bySsim) && aim.lossless)
        return error(QStringLiteral("--lossless keeps every pixel: it cannot aim at a size or "
                                    "an SSIM."));
    if ((bySize || bySsim) && !aimsApply)
        return error(QStringLiteral("PNG results are lossless: --%1 does not apply.")
                         .arg(bySize ? TargetSize : TargetSsim));
    if (bySize) {
        const std::optional<qint64> bytes = SizeArgument::parse(parser.value(TargetSize));
        if (!bytes)
            return error(QStringLiteral("Invalid --target-size '%1': use bytes, or a number "
                                        "with k or M (150k, 1.5M).")
                             .arg(parser.value(TargetSize)));
        aim.kind = Aim::Kind::FileSize;
        aim.targetBytes = *bytes;
    }
    if (bySsim) {
        bool ok = false;
        const double ssim = parser.value(TargetSsim).trimmed().toDouble(&ok);
        if (!ok || ssim <= 0 || ssim >= 1)
            return error(QStringLiteral("Invalid --target-ssim '%1': use a number between 0 and "
                                        "1, such as 0.97.")
                             .arg(parser.value(TargetSsim)));
        aim.kind = Aim::Kind::Fidelity;
        aim.targetSsim = ssim;
    }
    return parsed;
}

} // namespace AimArguments
