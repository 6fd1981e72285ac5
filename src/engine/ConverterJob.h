#pragma once
#include "ImageMetadata.h"
#include "Job.h"

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

// The program and arguments one job runs; no other options are ever passed.
struct ToolCommand {
    QString tool; // "cwebp", "dwebp", "gif2webp"
    QStringList arguments;
};
ToolCommand toolCommand(ConvertMode mode, int quality, const QString& input, const QString& output);
// The file name of a tool in the tools folder: the bare name on ARM, "<tool>-x8664" elsewhere.
QString toolExecutableName(const QString& tool);
// A work file's name in the run folder, "<row>.<role>.<ext>": short whatever the source is
// called, so a result name that fits never fails because of its work files.
QString workFileName(qsizetype row, const char* role, const QString& extension);

// One conversion: the source's metadata and, only when the tool cannot read the source as it
// is, a lossless upright copy; the tool as a child process; the pixel work on its output
// (JPEG encoding, upright); profile and metadata into the work file; the no-replace publish. Lives
// on the interface thread; in-process image work runs on the run's pool. Emits finished()
// exactly once.
class ConverterJob : public QObject {
    Q_OBJECT
public:
    struct Setup {
        qsizetype row = 0;
        Job job;
        ConvertMode mode = ConvertMode::WebpToJpg;
        int quality = 90; // per cent
        QString toolsDirectory;
        QString workDirectory; // this run's private folder
        QString outputFolder;  // the run's output folder
        QString outputPath;    // reserved final path under it; "" when no name fits
        int timeoutMs = 0;
        bool keepColorProfiles = true;
        bool keepMetadata = false;
        // Asked when the result is about to be placed, so a change during the run counts.
        std::function<bool()> keepDate;
        QSet<QString> reservedElsewhere; // output paths promised to other jobs of the run
        QThreadPool* pool = nullptr;     // for in-process image work; outlives the job
    };

    explicit ConverterJob(Setup setup, QObject* parent = nullptr);
    ~ConverterJob() override;

    void start();
    void cancel();

Q_SIGNALS:
    // The job with its state, reason, detail and result set.
    void finished(qsizetype row, const Job& job);

private:
    void launchTool();
    void onToolFinished(int exitCode, QProcess::ExitStatus status);
    void onToolError(QProcess::ProcessError error);
    void prepareSource();
    void finishWorkFile();
    void publish(const QString& resultFile);
    void fail(Reason reason, const QString& detail, JobState state = JobState::Failed);
    void finish(JobState state);
    void removeWorkFiles();
    // Runs work on the pool and hands its result to `then` back on this object's thread.
    template <typename Result>
    void runInPool(std::function<Result()> work, std::function<void(Result)> then);

    Setup setup_;
    Job job_;
    QString toolName_;
    QString temporaryOutput_;
    QString pixelOutput_; // the JPEG or upright PNG made from the tool's output
    // Read on the pool before the tool runs, read again (never written) after it.
    std::shared_ptr<SourceMetadata> source_;
    std::optional<QDateTime> creationDate_;
    std::unique_ptr<QProcess> process_;
    qint64 toolGroup_ = 0; // the tool's process group, kept after the tool is reaped
    QTimer timeLimit_;
    QTimer killGrace_;
    QByteArray stderr_;
    QElapsedTimer clock_;
    bool sourceIsAnimatedWebp_ = false;
    bool cancelled_ = false;
    bool timedOut_ = false;
    bool finished_ = false;
};
