#include "ToolRun.h"

#include "ToolProcess.h"

#include <QStringDecoder>

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

} // namespace

ToolRun::ToolRun(QObject* parent) : QObject(parent) {
    timeLimit_.setSingleShot(true);
    killGrace_.setSingleShot(true);
    connect(&timeLimit_, &QTimer::timeout, this, [this] {
        timedOut_ = true;
        signalGroup(group_, SIGTERM);
        killGrace_.start(KillGraceMs);
    });
    connect(&killGrace_, &QTimer::timeout, this, [this] {
        signalGroup(group_, SIGKILL);
        if (process_)
            process_->kill();
    });
}

ToolRun::~ToolRun() {
    if (process_) {
        process_->disconnect(this);
        signalGroup(group_, SIGKILL);
        process_->kill();
        process_->waitForFinished(KillGraceMs);
    }
}

void ToolRun::start(const QString& program, const QStringList& arguments, int timeoutMs) {
    timedOut_ = false;
    stopped_ = false;
    stderr_.clear();
    process_ = std::make_unique<QProcess>();
    process_->setProgram(program);
    process_->setArguments(arguments);
    // Its own process group: a Ctrl-C meant for us must not kill the tool before we can
    // cancel in order (and clean up) ourselves. Yet it must not outlive us either.
    process_->setChildProcessModifier(ToolProcess::childSetup());
    connect(process_.get(), &QProcess::readyReadStandardOutput, this,
            [this] { process_->readAllStandardOutput(); });
    connect(process_.get(), &QProcess::readyReadStandardError, this,
            [this] { keepErrorOutput(process_->readAllStandardError()); });
    connect(process_.get(), &QProcess::finished, this, &ToolRun::onFinished);
    connect(process_.get(), &QProcess::errorOccurred, this, &ToolRun::onError);
    if (timeoutMs > 0)
        timeLimit_.start(timeoutMs);
    process_->start(QIODevice::ReadOnly);
    group_ = process_->processId(); // 0 when it could not be started
}

void ToolRun::stop() {
    if (!process_ || stopped_)
        return;
    stopped_ = true;
    timeLimit_.stop();
    signalGroup(group_, SIGTERM);
    killGrace_.start(KillGraceMs);
}

void ToolRun::keepErrorOutput(const QByteArray& chunk) {
    if (stderr_.size() < MaxKeptStderr)
        stderr_.append(chunk.left(MaxKeptStderr - stderr_.size()));
}

void ToolRun::onError(QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart)
        return; // crashes and time-outs arrive through finished()
    Result result;
    result.end = stopped_ ? End::Stopped : End::NotStarted;
    result.startError = process_->errorString();
    end(result);
}

void ToolRun::onFinished(int exitCode, QProcess::ExitStatus status) {
    // A tool we stopped may leave children that ignored the request.
    if (timedOut_ || stopped_)
        signalGroup(group_, SIGKILL);
    // Anything still buffered belongs to the report.
    keepErrorOutput(process_->readAllStandardError());
    Result result;
    result.exitCode = exitCode;
    result.end = stopped_                        ? End::Stopped
                 : timedOut_                     ? End::TimedOut
                 : status == QProcess::CrashExit ? End::Crashed
                                                 : End::Exited;
    result.errorOutput = decodeUtf8(stderr_).trimmed();
    end(result);
}

void ToolRun::end(Result result) {
    timeLimit_.stop();
    killGrace_.stop();
    // The process object is still inside its own signal.
    process_.release()->deleteLater();
    stderr_.clear();
    Q_EMIT finished(result);
}
