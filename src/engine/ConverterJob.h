#pragma once
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
// "<base>_output.<ext>" for the mode, or "" for an unknown mode.
QString temporaryOutputName(qint64 mode, const QString& base);
// "<base>.<ext>" for the mode, or "" for an unknown mode.
QString finalOutputName(qint64 mode, const QString& base);

// One conversion: optional normalisation, the tool as a child process, the JPEG re-encode
// of dwebp's output, and the no-replace publish. Lives on the interface thread; in-process
// image work runs on the global thread pool. Emits finished() exactly once.
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
        bool losslessCopies = false;
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
    void publish(const QString& resultFile);
    void finish(qint64 state, bool ok, const QString& errorText = {});
    void removeWorkFiles();
    // Runs work on the pool and then `then` back on this object's thread.
    void runInPool(std::function<QVariant()> work, std::function<void(const QVariant&)> then);

    Setup setup_;
    Outcome outcome_;
    QString base_;
    QString toolName_;
    QString temporaryOutput_;
    QString jpegOutput_;
    std::unique_ptr<QProcess> process_;
    QTimer timeLimit_;
    QTimer killGrace_;
    QByteArray stderr_;
    QElapsedTimer clock_;
    bool cancelled_ = false;
    bool timedOut_ = false;
    bool poolBusy_ = false;
    bool finished_ = false;
};
