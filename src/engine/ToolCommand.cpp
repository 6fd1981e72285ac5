#include "ToolCommand.h"

#include "ModeTable.h"

#include <QSysInfo>

ToolCommand toolCommand(ConvertMode mode, const EncodeChoice& choice, const QString& input,
                        const QString& output) {
    const ModeTraits& traits = ModeTable::traits(mode);
    ToolCommand command{QLatin1String(traits.tool), {}};
    if (!traits.toolEncodes) {
        command.arguments = {input, QStringLiteral("-o"), output};
        return command;
    }
    if (choice.searching)
        command.arguments = {QStringLiteral("-m"), QStringLiteral("2")};
    if (choice.keepHiddenColour || (choice.lossless && traits.losslessApplies))
        command.arguments << QStringLiteral("-exact");
    if (choice.lossless && traits.losslessApplies)
        command.arguments.prepend(QStringLiteral("-lossless"));
    command.arguments << QStringLiteral("-q") << QString::number(choice.quality);
    command.arguments << input << QStringLiteral("-o") << output;
    return command;
}

QString toolExecutableName(const QString& tool) {
    static const bool arm = QSysInfo::currentCpuArchitecture().startsWith(QLatin1String("arm"));
    return arm ? tool : tool + QStringLiteral("-x8664");
}

QString workFileName(qsizetype row, const QString& role, const QString& extension) {
    return QStringLiteral("%1.%2.%3").arg(row).arg(role, extension);
}
