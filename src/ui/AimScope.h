#pragma once
#include "Aim.h"
#include "Vocabulary.h"

#include <QCoreApplication>
#include <QString>

// What of an aim takes effect in a conversion, for the window: the options window disables
// what the mode ignores and the bar under the list says in one line what a run aims at. The
// engine decides the same way; this only words it.
class AimScope {
    Q_DECLARE_TR_FUNCTIONS(AimScope)
public:
    AimScope(ConvertMode mode, const Aim& aim) : mode_(mode), aim_(aim) {}

    // The mode can make lossless results, and lossless is chosen.
    bool lossless() const;
    // A file size or a visual fidelity can be aimed at.
    bool perImageAimsApply() const;
    // Why not, for a tool tip; "" when they apply.
    QString whyNoPerImageAim() const;
    // The choice in effect: the quality wherever the other aims do not apply.
    Aim::Kind kind() const { return perImageAimsApply() ? aim_.kind : Aim::Kind::Quality; }
    // "Aim: at most 200.0 kB · longest side 2048 px"; "" for the plain quality.
    QString summary() const;

    static QString fidelityName(Aim::Fidelity fidelity);

private:
    QString fidelityText() const;

    ConvertMode mode_;
    Aim aim_;
};
