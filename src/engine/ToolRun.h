#pragma once
#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTimer>

#include <memory>

// One run of a tool as a child process, never blocking: both output streams drained as they
// fill (the error stream kept, bounded), a time limit, and a stop that asks first and kills
// the tool's whole process group after a grace period. Emits finished() exactly once.
class ToolRun : public QObject {
    Q_OBJECT
public:
    enum class End { Exited, Crashed, TimedOut, NotStarted, Stopped };
    struct Result {
        End end = End::Exited;
        int exitCode = 0;
        QString errorOutput; // what the tool said on its error stream (strict UTF-8), trimmed
        QString startError;  // why it could not be started
        bool succeeded() const { return end == End::Exited && exitCode == 0; }
    };

    explicit ToolRun(QObject* parent = nullptr);
    ~ToolRun() override;

    void start(const QString& program, const QStringList& arguments, int timeoutMs);
    // Asks the tool to stop; it is killed (with everything it started) after the grace period.
    void stop();
    bool isRunning() const { return process_ != nullptr; }

    static constexpr int KillGraceMs = 2000;

Q_SIGNALS:
    void finished(const ToolRun::Result& result);

private:
    void onFinished(int exitCode, QProcess::ExitStatus status);
    void onError(QProcess::ProcessError error);
    void keepErrorOutput(const QByteArray& chunk);
    void end(Result result);

    std::unique_ptr<QProcess> process_;
    qint64 group_ = 0; // the tool's process group, kept after the tool is reaped
    QTimer timeLimit_;
    QTimer killGrace_;
    QByteArray stderr_;
    bool timedOut_ = false;
    bool stopped_ = false;
};
