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
    if (choice.sizeGoal > 0) {
        // A size goal brings its own passes; more than six gain little.
        command.arguments = {QStringLiteral("-size"), QString::number(choice.sizeGoal),
                             QStringLiteral("-pass"), QStringLiteral("6")};
    } else {
        if (choice.lossless && traits.losslessApplies)
            command.arguments = {QStringLiteral("-lossless"), QStringLiteral("-exact")};
        command.arguments << QStringLiteral("-q") << QString::number(choice.quality);
    }
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
