#pragma once
#include "Vocabulary.h"

#include <QSize>
#include <QString>
#include <QtGlobal>

#include <optional>

// One queued image and what became of it. A plain record: the job list holds them, the batch
// run changes them and the front ends show them.
struct Job {
    QString path;                    // absolute path of the source; the job's identity
    QString name;                    // its last component
    qint64 sourceBytes = 0;          // 0 when the file did not exist at intake
    bool jpegContent = false;        // the content is JPEG whatever the extension says
    std::optional<ConvertMode> mode; // this job's own mode; none: the run's
    QString outputSubfolder;         // where under the output folder its result goes; "" = the top

    JobState state = JobState::Waiting;
    Reason reason = Reason::None; // why the last run left it without a result
    QString detail;               // that reason in words, naming the file; "" when nothing to say
    QString workCopy;             // the lossless copy the tool reads in the current conversion
    QString outputPath;           // where the last conversion placed its result
    qint64 outputBytes = 0;       // that result's size
    qint64 elapsedMs = 0;         // time the last conversion took
    bool profileCarried = false;  // the last result holds the source's colour profile
    bool metadataCarried = false; // the last result holds the source's EXIF/XMP
    QString warning;              // converted, but not all went as asked (why)
    QSize resultSize;             // the last result's pixels
    int quality = -1;             // the quality it was encoded at; -1 when none applies
    std::optional<double> psnr;   // measured against the source, when asked or aimed
    std::optional<double> ssim;
};

// A job for path as intake makes it: name, size, content check, waiting. Reads two bytes;
// safe on any thread.
Job makeJob(const QString& path);
