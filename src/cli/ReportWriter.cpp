#include "ReportWriter.h"

#include "SizeSummary.h"
#include "TerminalText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace ReportWriter {

QString summaryText(const RunSummary& summary) {
    using State = InputOutcome::State;
    QString text;
    if (summary.cancelled)
        text += QStringLiteral("Cancelled.\n");
    text += QStringLiteral("Converted %1, failed %2, skipped %3")
                .arg(summary.count(State::Converted))
                .arg(summary.count(State::Failed))
                .arg(summary.count(State::Skipped));
    if (summary.alreadyExisting() > 0)
        text += QStringLiteral(", already existing %1").arg(summary.alreadyExisting());
    text += u'\n';
    const qint64 in = summary.convertedInputBytes();
    const qint64 out = summary.outputBytes();
    text += QStringLiteral("%1 → %2 (%3 bytes → %4 bytes, saving %5%)\n")
                .arg(SizeSummary::humanBytes(in), SizeSummary::humanBytes(out))
                .arg(in)
                .arg(out)
                .arg(summary.savingPercent(), 0, 'f', 1);
    text += QStringLiteral("Wall time %1 s\n").arg(summary.wallMs / 1000.0, 0, 'f', 2);
    for (const InputOutcome& input : summary.warnings)
        text += QStringLiteral("Warning: %1: %2\n")
                    .arg(terminalSafe(input.path), terminalSafe(input.warning));
    if (!summary.failures.isEmpty())
        text += QStringLiteral("Failures:\n");
    for (const InputOutcome& input : summary.failures)
        text += QStringLiteral("  %1: %2\n")
                    .arg(terminalSafe(input.path), terminalSafe(input.reasonText()));
    return text;
}

namespace {

QJsonObject inputObject(const InputOutcome& input) {
    return QJsonObject{
        {"path", input.path},
        {"output", input.outputPath},
        {"state", stateName(input.state)},
        {"reason", input.reasonText()},
        {"inputBytes", input.inputBytes},
        {"outputBytes", input.outputBytes},
        {"ms", input.elapsedMs},
        {"profile", input.profileCarried},
        {"metadata", input.metadataCarried},
        {"warning", input.warning},
    };
}

QJsonObject totalsObject(const RunSummary& summary) {
    using State = InputOutcome::State;
    return QJsonObject{
        {"inputs", summary.total()},
        {"converted", summary.count(State::Converted)},
        {"failed", summary.count(State::Failed)},
        {"skipped", summary.count(State::Skipped)},
        {"alreadyExists", summary.alreadyExisting()},
        {"inputBytes", summary.convertedInputBytes()},
        {"outputBytes", summary.outputBytes()},
        {"savingPercent", qRound(summary.savingPercent() * 10) / 10.0},
        {"ms", summary.wallMs},
    };
}

} // namespace

QByteArray jsonLine(const InputOutcome& input) {
    return QJsonDocument(inputObject(input)).toJson(QJsonDocument::Compact) + '\n';
}

QByteArray jsonTotalsLine(const RunSummary& summary) {
    const QJsonObject root{{"totals", totalsObject(summary)}, {"cancelled", summary.cancelled}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact) + '\n';
}

QByteArray jsonDocument(const RunSummary& summary) {
    QJsonArray inputs;
    for (const InputOutcome& input : summary.inputs)
        inputs.append(inputObject(input));
    const QJsonObject root{
        {"inputs", inputs},
        {"totals", totalsObject(summary)},
        {"cancelled", summary.cancelled},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

} // namespace ReportWriter
