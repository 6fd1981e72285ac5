#pragma once
#include "ImageMetadata.h"
#include "PicModel.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

// The program and arguments one job runs, by mode; no other options are ever passed.
struct ToolCommand {
    QString tool; // "cwebp", "dwebp", "gif2webp"; empty for an unknown mode
    QStringList arguments;
};
ToolCommand toolCommand(qint64 mode, double ratio, const QString& input, const QString& output);
// A work file's name in the run folder, "<row>.<role>.<ext>": short whatever the source is
// called, so a result name that fits never fails because of its work files.
QString workFileName(qsizetype row, const char* role, const QString& extension);
// "<base>.<ext>" for the mode, or "" for an unknown mode.
QString finalOutputName(qint64 mode, const QString& base);
// The folder a result goes to: the output folder, or the subfolder that mirrors its source's.
QString resultFolder(const QString& outputDirectory, const QString& subfolder);
// Where source's result goes before any "(n)" is added; "" for an unknown mode.
QString plainResultPath(const QString& outputDirectory, const QString& subfolder, qint64 mode,
                        const QString& source);

// One conversion: the source's metadata and, only when the tool cannot read the source as it
// is, a lossless upright copy; the tool as a child process; the pixel work on its output
// (JPEG encoding, upright); profile and metadata into the work file; the no-replace publish. Lives
// on the interface thread; in-process image work runs on the global thread pool. Emits finished()
// exactly once.
class ConverterJob : public QObject {
    Q_OBJECT
public:
    struct Setup {
        qsizetype row = 0;
        PicModel job;
        qint64 mode = 0;
        double ratio = 90;
        QString toolsDirectory;
        QString workDirectory; // this run's private folder
        QString outputPath;    // reserved final path
        int timeoutMs = 0;
        bool keepColorProfiles = true;
        bool keepMetadata = false;
        QSet<QString> reservedElsewhere; // output paths promised to other jobs of the run
        QThreadPool* pool = nullptr;     // for in-process image work; outlives the job
    };
    struct Outcome {
        PicModel job;    // with completed, isDel, errorText, outputPath ... set
        bool ok = false; // a result was written
        bool cancelled = false;
        std::optional<QString> convertError; // set when the tool exited with a failure status
        bool silentToolFailure = false;      // the tool ran, failed and wrote nothing to stderr
        std::optional<QDateTime> creationDate;
    };

    explicit ConverterJob(Setup setup, QObject* parent = nullptr);
    ~ConverterJob() override;

    void start();
    void cancel();

Q_SIGNALS:
    void finished(qsizetype row, const ConverterJob::Outcome& outcome);

private:
    void launchTool();
    void onToolFinished(int exitCode, QProcess::ExitStatus status);
    void onToolError(QProcess::ProcessError error);
    void prepareSource();
    void finishWorkFile();
    void publish(const QString& resultFile);
    void finish(qint64 state, bool ok, const QString& errorText = {});
    void removeWorkFiles();
    // Runs work on the pool and then `then` back on this object's thread.
    void runInPool(std::function<QVariant()> work, std::function<void(const QVariant&)> then);

    Setup setup_;
    Outcome outcome_;
    QString toolName_;
    QString temporaryOutput_;
    QString jpegOutput_;
    // Read on the pool before the tool runs, read again (never written) after it.
    std::shared_ptr<SourceMetadata> source_;
    std::unique_ptr<QProcess> process_;
    qint64 toolGroup_ = 0; // the tool's process group, kept after the tool is reaped
    QTimer timeLimit_;
    QTimer killGrace_;
    QByteArray stderr_;
    QElapsedTimer clock_;
    bool cancelled_ = false;
    bool timedOut_ = false;
    bool poolBusy_ = false;
    bool finished_ = false;
};
