#include "AimScope.h"

#include "ModeTable.h"
#include "SizeSummary.h"

#include <QLocale>
#include <QStringList>

bool AimScope::lossless() const {
    return aim_.lossless && ModeTable::traits(mode_).losslessApplies;
}

bool AimScope::perImageAimsApply() const {
    return ModeTable::traits(mode_).aimsPerImage && !lossless();
}

QString AimScope::whyNoPerImageAim() const {
    const ModeTraits& traits = ModeTable::traits(mode_);
    if (!traits.qualityApplies)
        return tr("%1 results are lossless: there is no file size or fidelity to aim at")
            .arg(QString::fromLatin1(traits.outputExtension).toUpper());
    if (!traits.aimsPerImage)
        return tr("Animations are encoded at one quality for every frame: a file size or "
                  "fidelity cannot be aimed at");
    if (lossless())
        return tr("Lossless results keep every pixel: a file size or fidelity cannot be aimed at");
    return {};
}

QString AimScope::fidelityName(Aim::Fidelity fidelity) {
    switch (fidelity) {
    case Aim::Fidelity::VeryHigh:
        return tr("Very high");
    case Aim::Fidelity::High:
        return tr("High");
    default:
        return tr("Good");
    }
}

QString AimScope::fidelityText() const {
    const QString ssim = QLocale().toString(aim_.targetSsim, 'f', 2);
    for (const Aim::Fidelity fidelity :
         {Aim::Fidelity::VeryHigh, Aim::Fidelity::High, Aim::Fidelity::Good}) {
        if (Aim::ssimOf(fidelity) == aim_.targetSsim)
            return tr("fidelity “%1” (SSIM %2)").arg(fidelityName(fidelity), ssim);
    }
    return tr("SSIM %1").arg(ssim);
}

QString AimScope::summary() const {
    QStringList parts;
    if (lossless())
        parts.append(tr("lossless"));
    else if (kind() == Aim::Kind::FileSize)
        parts.append(tr("at most %1").arg(SizeSummary::humanBytes(aim_.targetBytes)));
    else if (kind() == Aim::Kind::Fidelity)
        parts.append(fidelityText());
    if (aim_.maxSide > 0)
        parts.append(tr("longest side %1 px").arg(aim_.maxSide));
    if (aim_.minSavingPercent > 0)
        parts.append(tr("kept when at least %1 % smaller").arg(aim_.minSavingPercent));
    return parts.isEmpty() ? QString() : tr("Aim: %1").arg(parts.join(QStringLiteral(" · ")));
}
