#pragma once
#include <QString>
#include <QtGlobal>

// Job states held in PicModel::completed.
namespace JobState {
inline constexpr qint64 Waiting = 0;
inline constexpr qint64 Converted = 1;
inline constexpr qint64 Converting = 2;
inline constexpr qint64 Failed = 3;
} // namespace JobState

// Conversion modes (the stored "Format" value).
namespace ConvertMode {
inline constexpr qint64 WebpToJpg = 0;
inline constexpr qint64 WebpToPng = 1;
inline constexpr qint64 ImageToWebp = 2;
inline constexpr qint64 GifToWebp = 3;
} // namespace ConvertMode

// One queued image. Plain record; the job list and the batch run change it.
struct PicModel {
    QString name;    // last path component of url
    double size = 0; // bytes / 1000.0; 0 when the file did not exist at intake
    QString url;     // absolute path of the source; the job's identity
    qint64 completed = JobState::Waiting;
    double progress = 0;    // never used; stays 0
    bool isDel = false;     // cleared whenever a conversion ends without a written result
    QString code;           // never set; stays empty
    bool isStandard = true; // false: content is JPEG, a normalised copy is made first
    QString url_documents;  // normalised copy of the current conversion, or empty

    // Beyond the classic record: what the front ends report per job.
    qint64 mode = -1;        // conversion mode of this job; -1 = the run's mode
    QString outputSubfolder; // relative folder under the output folder for the result; "" = top
    QString skipReason;      // why the last run left the job alone (result there already), or ""
    QString errorText;       // why the last conversion failed (names the file), or empty
    QString outputPath;      // where the last conversion placed its result, or empty
    qint64 outputBytes = 0;  // size of that result
    qint64 elapsedMs = 0;    // time the last conversion took
    bool profileCarried = false;  // the last result holds the source's colour profile
    bool metadataCarried = false; // the last result holds the source's EXIF/XMP
    QString warningText;          // converted, but something was not carried (why), or empty
};

// Builds a job for a path the way intake does: name, size, standard-format flag, state 0.
// Safe to call from any thread.
PicModel makePicModel(const QString& path);
