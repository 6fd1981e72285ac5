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
    if (summary.count(State::NotSmaller) > 0)
        text += QStringLiteral(", not smaller %1").arg(summary.count(State::NotSmaller));
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

QString resultLine(const InputOutcome& input) {
    if (input.state == InputOutcome::State::NotSmaller)
        return QStringLiteral("%1: %2\n")
            .arg(terminalSafe(input.path), terminalSafe(input.reasonText()));
    QString line = QStringLiteral("%1 → %2: %3")
                       .arg(terminalSafe(input.path), terminalSafe(input.outputPath),
                            SizeSummary::humanBytes(input.outputBytes));
    if (input.quality >= 0)
        line += QStringLiteral(" at quality %1").arg(input.quality);
    if (input.ssim)
        line += QStringLiteral(", SSIM %1").arg(*input.ssim, 0, 'f', 4);
    if (input.psnr)
        line += QStringLiteral(", PSNR %1 dB").arg(*input.psnr, 0, 'f', 2);
    return line + u'\n';
}

namespace {

QJsonObject inputObject(const InputOutcome& input) {
    QJsonObject object{
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
        {"width", qMax(0, input.resultSize.width())},
        {"height", qMax(0, input.resultSize.height())},
    };
    if (input.quality >= 0)
        object.insert(QStringLiteral("quality"), input.quality);
    if (input.psnr)
        object.insert(QStringLiteral("psnr"), qRound(*input.psnr * 100) / 100.0);
    if (input.ssim)
        object.insert(QStringLiteral("ssim"), qRound(*input.ssim * 10000) / 10000.0);
    return object;
}

QJsonObject totalsObject(const RunSummary& summary) {
    using State = InputOutcome::State;
    return QJsonObject{
        {"inputs", summary.total()},
        {"converted", summary.count(State::Converted)},
        {"failed", summary.count(State::Failed)},
        {"skipped", summary.count(State::Skipped)},
        {"alreadyExists", summary.alreadyExisting()},
        {"notSmaller", summary.count(State::NotSmaller)},
        {"inputBytes", summary.convertedInputBytes()},
        {"outputBytes", summary.outputBytes()},
        {"savingPercent", qRound(summary.savingPercent() * 10) / 10.0},
        {"ms", summary.wallMs},
    };
}

// QJsonDocument escapes C0 controls only; DEL and U+0080-U+009F (C2 80-C2 9F in UTF-8, found
// only inside strings) can be terminal commands too, so they get the same \u escape.
QByteArray withControlsEscaped(const QByteArray& json) {
    QByteArray safe;
    safe.reserve(json.size());
    for (qsizetype at = 0; at < json.size(); ++at) {
        const auto byte = static_cast<unsigned char>(json[at]);
        const auto next = static_cast<unsigned char>(at + 1 < json.size() ? json[at + 1] : 0);
        if (byte == 0x7f) {
            safe += "\\u007f";
        } else if (byte == 0xc2 && next >= 0x80 && next <= 0x9f) {
            safe += "\\u00" + QByteArray::number(next, 16);
            ++at;
        } else {
            safe += json[at];
        }
    }
    return safe;
}

QByteArray jsonText(const QJsonObject& object, QJsonDocument::JsonFormat format) {
    return withControlsEscaped(QJsonDocument(object).toJson(format));
}

} // namespace

QByteArray jsonLine(const InputOutcome& input) {
    return jsonText(inputObject(input), QJsonDocument::Compact) + '\n';
}

QByteArray jsonTotalsLine(const RunSummary& summary) {
    const QJsonObject root{{"totals", totalsObject(summary)}, {"cancelled", summary.cancelled}};
    return jsonText(root, QJsonDocument::Compact) + '\n';
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
    return jsonText(root, QJsonDocument::Indented);
}

} // namespace ReportWriter
