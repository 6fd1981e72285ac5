#include "ReportWriter.h"

#include "SizeSummary.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace ReportWriter {

QString summaryText(const RunSummary& summary) {
    using State = InputOutcome::State;
    QString text;
    if (summary.cancelled)
        text += QStringLiteral("Cancelled.\n");
    text += QStringLiteral("Converted %1, failed %2, skipped %3\n")
                .arg(summary.count(State::Converted))
                .arg(summary.count(State::Failed))
                .arg(summary.count(State::Skipped));
    const qint64 in = summary.convertedInputBytes();
    const qint64 out = summary.outputBytes();
    text += QStringLiteral("%1 → %2 (%3 bytes → %4 bytes, saving %5%)\n")
                .arg(SizeSummary::humanBytes(in), SizeSummary::humanBytes(out))
                .arg(in)
                .arg(out)
                .arg(summary.savingPercent(), 0, 'f', 1);
    text += QStringLiteral("Wall time %1 s\n").arg(summary.wallMs / 1000.0, 0, 'f', 2);
    bool headed = false;
    for (const InputOutcome& input : summary.inputs) {
        if (input.state != State::Failed)
            continue;
        if (!headed)
            text += QStringLiteral("Failures:\n");
        headed = true;
        text += QStringLiteral("  %1: %2\n").arg(input.path, input.reason);
    }
    return text;
}

QByteArray jsonDocument(const RunSummary& summary) {
    using State = InputOutcome::State;
    QJsonArray inputs;
    for (const InputOutcome& input : summary.inputs) {
        inputs.append(QJsonObject{
            {"path", input.path},
            {"output", input.outputPath},
            {"state", stateName(input.state)},
            {"reason", input.reason},
            {"inputBytes", input.inputBytes},
            {"outputBytes", input.outputBytes},
            {"ms", input.elapsedMs},
        });
    }
    const QJsonObject totals{
        {"inputs", summary.inputs.size()},
        {"converted", summary.count(State::Converted)},
        {"failed", summary.count(State::Failed)},
        {"skipped", summary.count(State::Skipped)},
        {"inputBytes", summary.convertedInputBytes()},
        {"outputBytes", summary.outputBytes()},
        {"savingPercent", qRound(summary.savingPercent() * 10) / 10.0},
        {"ms", summary.wallMs},
    };
    const QJsonObject root{
        {"inputs", inputs},
        {"totals", totals},
        {"cancelled", summary.cancelled},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

} // namespace ReportWriter
