#pragma once
#include "Vocabulary.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QtGlobal>

#include <optional>

// What became of one input path.
struct InputOutcome {
    // NotSmaller: converted, but not kept because it would not have saved enough.
    enum class State { Converted, Failed, Skipped, NotSmaller };
    QString path;
    QString outputPath; // "" unless converted
    State state = State::Skipped;
    Reason reason = Reason::None; // why it failed or was skipped; None when converted
    QString detail;               // that reason in words, where it needs more
    qint64 inputBytes = 0;
    qint64 outputBytes = 0;
    qint64 elapsedMs = 0;

    // Skipped because its result was there already: counted apart, never a failure.
    bool alreadyExists() const { return reason == Reason::AlreadyExists; }
    // The reason as the reports word it; "" when converted.
    QString reasonText() const;
    bool profileCarried = false;  // the result holds the source's colour profile
    bool metadataCarried = false; // the result holds the source's EXIF/XMP
    QString warning;              // converted, but not all went as asked: why
    QSize resultSize;             // the result's pixels
    int quality = -1;             // the quality it was encoded at; -1 when none applies
    std::optional<double> psnr;   // measured against the source
    std::optional<double> ssim;
};

// Everything the closing report shows. Counts and bytes are kept as inputs finish, so the
// report needs no record of each input; inputs holds one only when asked to (--json).
struct RunSummary {
    QList<InputOutcome> inputs;   // kept records, in the order the inputs were found
    QList<InputOutcome> failures; // in the order they failed
    QList<InputOutcome> warnings; // converted, but not all was carried
    bool cancelled = false;
    qint64 wallMs = 0;

    // Counts an outcome in.
    void add(const InputOutcome& outcome);
    qsizetype count(InputOutcome::State state) const; // already existing results excluded
    qsizetype alreadyExisting() const { return existing_; }
    qsizetype total() const { return converted_ + failed_ + skipped_ + existing_ + notSmaller_; }
    // Bytes of the converted inputs and of their results.
    qint64 convertedInputBytes() const { return inputBytes_; }
    qint64 outputBytes() const { return outputBytes_; }
    // Per cent saved by the converted inputs (negative when results are larger); 0 without any.
    double savingPercent() const;

private:
    qsizetype converted_ = 0;
    qsizetype failed_ = 0;
    qsizetype skipped_ = 0;
    qsizetype existing_ = 0;
    qsizetype notSmaller_ = 0;
    qint64 inputBytes_ = 0;
    qint64 outputBytes_ = 0;
};

QString stateName(InputOutcome::State state);
