#include "RunSummary.h"

#include "ReasonText.h"
#include "SizeSummary.h"

QString InputOutcome::reasonText() const {
    return state == State::Converted ? QString() : ::reasonText(reason, detail);
}

void RunSummary::add(const InputOutcome& outcome) {
    switch (outcome.state) {
    case InputOutcome::State::Converted:
        ++converted_;
        inputBytes_ += outcome.inputBytes;
        if (!outcome.warning.isEmpty())
            warnings.append(outcome);
        break;
    case InputOutcome::State::Failed:
        ++failed_;
        failures.append(outcome);
        break;
    case InputOutcome::State::Skipped:
        ++(outcome.alreadyExists() ? existing_ : skipped_);
        break;
    case InputOutcome::State::NotSmaller:
        ++notSmaller_;
        return; // its result was not kept
    }
    outputBytes_ += outcome.outputBytes;
}

qsizetype RunSummary::count(InputOutcome::State state) const {
    switch (state) {
    case InputOutcome::State::Converted:
        return converted_;
    case InputOutcome::State::Failed:
        return failed_;
    case InputOutcome::State::NotSmaller:
        return notSmaller_;
    case InputOutcome::State::Skipped:
        break;
    }
    return skipped_;
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
    case InputOutcome::State::NotSmaller:
        return QStringLiteral("notSmaller");
    case InputOutcome::State::Skipped:
        break;
    }
    return QStringLiteral("skipped");
}
