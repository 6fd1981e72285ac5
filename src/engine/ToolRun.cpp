#include "ToolRun.h"

#include "ToolProcess.h"

#include <QStringDecoder>
#include <QThread>

#include <csignal>

namespace {

// A tool that floods stderr must not grow memory without bound; the head is what matters.
constexpr qsizetype MaxKeptStderr = 1 << 20;

// The tool runs in its own process group: signal the whole group, so what it started goes
// too, even when the tool itself is already gone.
void signalGroup(qint64 group, int signal) {
    if (group > 0)
        ::kill(-static_cast<pid_t>(group), signal);
}

// Strict UTF-8: bytes that are not valid UTF-8 give an empty text.
QString decodeUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    return decoder.hasError() ? QString() : text;
}

// The one thread every tool is started from and watched on, for the program's whole life: the
// kernel's death signal of a tool's supervisor follows the thread that started it.
QThread* toolThread() {
    static struct Holder {
        QThread thread;
        Holder() {
            thread.setObjectName(QStringLiteral("tools"));
            thread.start();
        }
        ~Holder() {
            thread.quit();
            thread.wait();
        }
    } holder;
    return &holder.thread;
}

} // namespace

// One tool process, on the tools' thread. What it learns goes to its ToolRun through that
// run's event queue; the run deletes it (waiting for that) before it is gone itself.
class ToolChild : public QObject {
public:
    explicit ToolChild(ToolRun* owner) : owner_(owner) {}

    void start(const QString& program, const QStringList& arguments) {
        process_.setProgram(program);
        process_.setArguments(arguments);
        // Its own process group: a Ctrl-C meant for us must not kill the tool before we can
        // cancel in order (and clean up) ourselves. Yet it must not outlive us either.
        process_.setChildProcessModifier(ToolProcess::childSetup());
        connect(&process_, &QProcess::readyReadStandardOutput, this,
                [this] { process_.readAllStandardOutput(); });
        connect(&process_, &QProcess::readyReadStandardError, this,
                [this] { keepErrorOutput(process_.readAllStandardError()); });
        connect(&process_, &QProcess::finished, this, &ToolChild::onFinished);
        connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            // Crashes and time-outs arrive through finished().
            if (error != QProcess::FailedToStart)
                return;
            ToolRun::Ended ended;
            ended.notStarted = true;
            ended.startError = process_.errorString();
            report(ended);
        });
        process_.start(QIODevice::ReadOnly);
        group_ = process_.processId(); // 0 when it could not be started
    }
    // Asked to stop: the group is told, and once the tool is gone, what it left is killed.
    void stop(int signal) {
        stopping_ = true;
        signalGroup(group_, signal);
        if (signal == SIGKILL && process_.state() != QProcess::NotRunning)
            process_.kill();
    }
    void killAndWait() {
        process_.disconnect(this);
        signalGroup(group_, SIGKILL);
        process_.kill();
        process_.waitForFinished(ToolRun::KillGraceMs);
    }

private:
    void onFinished(int exitCode, QProcess::ExitStatus status) {
        // A tool we stopped may leave children that ignored the request.
        if (stopping_)
            signalGroup(group_, SIGKILL);
        // Anything still buffered belongs to the report.
        keepErrorOutput(process_.readAllStandardError());
        ToolRun::Ended ended;
        ended.exitCode = exitCode;
        ended.status = status;
        ended.errorOutput = stderr_;
        report(ended);
    }
    void keepErrorOutput(const QByteArray& chunk) {
        if (stderr_.size() < MaxKeptStderr)
            stderr_.append(chunk.left(MaxKeptStderr - stderr_.size()));
    }
    void report(const ToolRun::Ended& ended) {
        if (reported_)
            return;
        reported_ = true;
        ToolRun* owner = owner_;
        QMetaObject::invokeMethod(
            owner, [owner, ended] { owner->ended(ended); }, Qt::QueuedConnection);
    }

    ToolRun* owner_;
    QProcess process_{this}; // a child, so it moves to the tools' thread along with this
    qint64 group_ = 0;       // the tool's process group, kept after the tool is reaped
    QByteArray stderr_;
    bool stopping_ = false;
    bool reported_ = false;
};

ToolRun::ToolRun(QObject* parent) : QObject(parent) {
    timeLimit_.setSingleShot(true);
    killGrace_.setSingleShot(true);
    connect(&timeLimit_, &QTimer::timeout, this, [this] {
        timedOut_ = true;
        QMetaObject::invokeMethod(child_, [child = child_] { child->stop(SIGTERM); });
        killGrace_.start(KillGraceMs);
    });
    connect(&killGrace_, &QTimer::timeout, this, [this] {
        QMetaObject::invokeMethod(child_, [child = child_] { child->stop(SIGKILL); });
    });
}

ToolRun::~ToolRun() {
    if (child_ == nullptr)
        return;
    // Nothing of the tool may outlive this object: killed and reaped before it is gone.
    ToolChild* child = child_;
    const auto killAndDelete = [child] {
        child->killAndWait();
        delete child;
    };
    if (child->thread()->isRunning())
        QMetaObject::invokeMethod(child, killAndDelete, Qt::BlockingQueuedConnection);
    else
        killAndDelete();
}

void ToolRun::start(const QString& program, const QStringList& arguments, int timeoutMs) {
    timedOut_ = false;
    stopped_ = false;
    child_ = new ToolChild(this);
    child_->moveToThread(toolThread());
    if (timeoutMs > 0)
        timeLimit_.start(timeoutMs);
    QMetaObject::invokeMethod(
        child_, [child = child_, program, arguments] { child->start(program, arguments); });
}

void ToolRun::stop() {
    if (child_ == nullptr || stopped_)
        return;
    stopped_ = true;
    timeLimit_.stop();
    QMetaObject::invokeMethod(child_, [child = child_] { child->stop(SIGTERM); });
    killGrace_.start(KillGraceMs);
}

void ToolRun::ended(const Ended& ended) {
    timeLimit_.stop();
    killGrace_.stop();
    // Deleted on its own thread, once this returns there.
    child_->deleteLater();
    child_ = nullptr;
    Result result;
    if (ended.notStarted) {
        result.end = stopped_ ? End::Stopped : End::NotStarted;
        result.startError = ended.startError;
    } else {
        result.exitCode = ended.exitCode;
        result.end = stopped_                              ? End::Stopped
                     : timedOut_                           ? End::TimedOut
                     : ended.status == QProcess::CrashExit ? End::Crashed
                                                           : End::Exited;
        result.errorOutput = decodeUtf8(ended.errorOutput).trimmed();
    }
    Q_EMIT finished(result);
}
