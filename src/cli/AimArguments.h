#pragma once
#include "Aim.h"
#include "Vocabulary.h"

#include <QCommandLineOption>
#include <QList>
#include <QString>

#include <optional>

class QCommandLineParser;

// The command line's aims: --max-side, --target-size, --target-ssim, --lossless,
// --min-saving, --measure.
namespace AimArguments {
QList<QCommandLineOption> options();
// The aim the arguments ask for, for a run of modes at the given quality; a usage error's
// one line otherwise. qualityGiven: -q was on the command line.
struct Parsed {
    Aim aim;
    QString error;
};
Parsed parse(const QCommandLineParser& parser, const QList<ConvertMode>& modes, bool qualityGiven);
} // namespace AimArguments
