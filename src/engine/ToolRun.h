#pragma once
#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTimer>

class ToolChild;

// One run of a tool as a child process, never blocking: both output streams drained as they
// fill (the error stream kept, bounded), a time limit, and a stop that asks first and kills
// the tool's whole process group after a grace period. Emits finished() exactly once.
// The process itself is started and watched on a thread of its own: starting one waits until
// the child has replaced itself with the tool, which on a busy machine takes long enough to
// stall the thread that asks.
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
    bool isRunning() const { return child_ != nullptr; }

    static constexpr int KillGraceMs = 2000;

Q_SIGNALS:
    void finished(const ToolRun::Result& result);

private:
    friend class ToolChild;
    struct Ended {
        int exitCode = 0;
        QProcess::ExitStatus status = QProcess::NormalExit;
        bool notStarted = false;
        QString startError;
        QByteArray errorOutput;
    };
    void ended(const Ended& ended);

    ToolChild* child_ = nullptr; // lives on the tools' thread
    QTimer timeLimit_;
    QTimer killGrace_;
    bool timedOut_ = false;
    bool stopped_ = false;
};
