#include "ToolLocator.h"

#include "PicModel.h"

#include <QDebug>
#include <QSysInfo>

namespace ToolLocator {

QString getCPUType() {
    const QString arch = QSysInfo::currentCpuArchitecture();
    if (arch == QLatin1String("arm64")) {
        qInfo().noquote() << "CPU_TYPE_ARM64";
        return QStringLiteral("M1");
    }
    if (arch == QLatin1String("arm")) {
        qInfo().noquote() << "CPU_TYPE_ARM";
        return QStringLiteral("M1");
    }
    return {};
}

QString executableName(const QString& tool) {
    static const bool arm = getCPUType() == QLatin1String("M1");
    return arm ? tool : QStringLiteral("%1-x8664").arg(tool);
}

QString toolForMode(qint64 mode) {
    switch (mode) {
    case ConvertMode::WebpToJpg:
    case ConvertMode::WebpToPng:
        return QStringLiteral("dwebp");
    case ConvertMode::ImageToWebp:
        return QStringLiteral("cwebp");
    case ConvertMode::GifToWebp:
        return QStringLiteral("gif2webp");
    default:
        return {};
    }
}

} // namespace ToolLocator
