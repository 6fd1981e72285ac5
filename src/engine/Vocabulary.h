#pragma once
#include <QObject>
#include <QtGlobal>

// The words every layer shares: what a conversion does, what a job is doing, why a job or an
// input ended as it did. Registered with Qt, so a failing comparison in a test prints a name.
namespace Tessaro {
Q_NAMESPACE

// The numbers are the stored "Format" values.
enum class ConvertMode : qint64 { WebpToJpg = 0, WebpToPng = 1, ImageToWebp = 2, GifToWebp = 3 };
Q_ENUM_NS(ConvertMode)

enum class JobState : qint64 { Waiting = 0, Converted = 1, Converting = 2, Failed = 3 };
Q_ENUM_NS(JobState)

// Why a job or an input has no result (or, for None, nothing to say). The detail text that
// travels with a reason names the file and carries the tool's or the system's own words.
enum class Reason {
    None,
    AlreadyExists,     // its result's plain name is taken and existing results are skipped
    Cancelled,         // the run stopped before this job was done
    NameTooLong,       // no free result name fits the file system's limit
    ToolFailed,        // the tool exited with a failure status, crashed or wrote nothing
    ToolSilent,        // ... and said nothing on its error stream
    ToolTimedOut,      // the tool did not finish in time
    ToolNotStarted,    // the tool could not be started
    AnimatedWebp,      // the decoder cannot decode an animated WebP
    EncodeFailed,      // the in-process encoding of the result failed
    WriteFailed,       // the result could not be placed (may pass on another try)
    LinkInOutputTree,  // a folder under the output folder is a link: never written through
    NotUtf8FileName,   // the name's bytes are not valid UTF-8
    NotUtf8FolderName, // a folder's name's bytes are not valid UTF-8
    Missing,           // nothing exists at the path
    Unreadable,        // a folder that cannot be read
    NotRegularFile,    // a pipe, a device ...
    WrongExtension,    // this conversion does not take the file's extension
    Oversize,          // wider or taller than the pixel limit
    NotSmaller,        // the result would not save enough: the source is kept as it is
};
Q_ENUM_NS(Reason)

} // namespace Tessaro

// The widest and tallest image taken, in pixels.
inline constexpr int MaxImageSide = 8000;

using Tessaro::ConvertMode;
using Tessaro::JobState;
using Tessaro::Reason;
