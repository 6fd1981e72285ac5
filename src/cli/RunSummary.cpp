#include "RunSummary.h"

#include "SizeSummary.h"

qsizetype RunSummary::count(InputOutcome::State state) const {
    qsizetype n = 0;
    for (const InputOutcome& input : inputs)
        n += input.state == state ? 1 : 0;
    return n;
}

qint64 RunSummary::convertedInputBytes() const {
    qint64 total = 0;
    for (const InputOutcome& input : inputs) {
        if (input.state == InputOutcome::State::Converted)
            total += input.inputBytes;
    }
    return total;
}

qint64 RunSummary::outputBytes() const {
    qint64 total = 0;
    for (const InputOutcome& input : inputs)
        total += input.outputBytes;
    return total;
}

double RunSummary::savingPercent() const {
    return SizeSummary::savingPercent(convertedInputBytes(), outputBytes());
}

QString stateName(InputOutcome::State state) {
    switch (state) {
    case InputOutcome::State::Converted:
        return QStringLiteral("converted");
    case InputOutcome::State::Failed:
        return QStringLiteral("failed");
    case InputOutcome::State::Skipped:
        break;
    }
    return QStringLiteral("skipped");
}
