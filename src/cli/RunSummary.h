#pragma once
#include <QList>
#include <QString>
#include <QtGlobal>

// What became of one input path.
struct InputOutcome {
    enum class State { Converted, Failed, Skipped };
    QString path;
    QString outputPath; // "" unless converted
    State state = State::Skipped;
    QString reason; // why it failed or was skipped; "" when converted
    qint64 inputBytes = 0;
    qint64 outputBytes = 0;
    qint64 elapsedMs = 0;
    bool profileCarried = false;  // the result holds the source's colour profile
    bool metadataCarried = false; // the result holds the source's EXIF/XMP
    QString warning;              // converted, but not all of it was carried: why
};

// Everything the closing report shows.
struct RunSummary {
    QList<InputOutcome> inputs; // in the order the paths were given (folders expanded)
    bool cancelled = false;
    qint64 wallMs = 0;

    qsizetype count(InputOutcome::State state) const;
    // Bytes of the converted inputs and of their results.
    qint64 convertedInputBytes() const;
    qint64 outputBytes() const;
    // Per cent saved by the converted inputs (negative when results are larger); 0 without any.
    double savingPercent() const;
};

QString stateName(InputOutcome::State state);
