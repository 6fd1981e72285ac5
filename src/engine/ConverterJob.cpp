#include "ConverterJob.h"

#include "InputNormaliser.h"
#include "OutputPlacement.h"
#include "ToolLocator.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

constexpr int KillGraceMs = 2000;
// A tool that floods stderr must not grow memory without bound; the head is what matters.
constexpr qsizetype MaxKeptStderr = 1 << 20;

QString extensionForMode(qint64 mode) {
    switch (mode) {
    case ConvertMode::WebpToJpg:
        return QStringLiteral("jpg");
    case ConvertMode::WebpToPng:
        return QStringLiteral("png");
    case ConvertMode::ImageToWebp:
    case ConvertMode::GifToWebp:
        return QStringLiteral("webp");
    default:
        return {};
    }
}

// Strict UTF-8: bytes that are not valid UTF-8 give an empty text.
QString decodeUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    return decoder.hasError() ? QString() : text;
}

} // namespace

ToolCommand toolCommand(qint64 mode, double ratio, const QString& input, const QString& output) {
    const QString tool = ToolLocator::toolForMode(mode);
    if (tool.isEmpty())
        return {};
    if (mode == ConvertMode::WebpToJpg || mode == ConvertMode::WebpToPng)
        return {tool, {input, QStringLiteral("-o"), output}};
    const int q = static_cast<int>(ratio); // truncation toward zero
    return {tool, {QStringLiteral("-q"), QString::number(q), input, QStringLiteral("-o"), output}};
}

QString temporaryOutputName(qint64 mode, const QString& base) {
    const QString ext = extensionForMode(mode);
    return ext.isEmpty() ? QString() : QStringLiteral("%1_output.%2").arg(base, ext);
}

QString finalOutputName(qint64 mode, const QString& base) {
    const QString ext = extensionForMode(mode);
    return ext.isEmpty() ? QString() : QStringLiteral("%1.%2").arg(base, ext);
}

ConverterJob::ConverterJob(Setup setup, QObject* parent)
    : QObject(parent), setup_(std::move(setup)) {
    outcome_.job = setup_.job;
    base_ = OutputPlacement::baseName(setup_.job.url);
    timeLimit_.setSingleShot(true);
    killGrace_.setSingleShot(true);
    connect(&timeLimit_, &QTimer::timeout, this, [this] {
        timedOut_ = true;
        if (process_)
            process_->terminate();
        killGrace_.start(KillGraceMs);
    });
    connect(&killGrace_, &QTimer::timeout, this, [this] {
        if (process_)
            process_->kill();
    });
}

ConverterJob::~ConverterJob() {
    if (process_) {
        process_->disconnect(this);
        process_->kill();
        process_->waitForFinished(KillGraceMs);
    }
    if (!finished_)
        removeWorkFiles();
}

void ConverterJob::runInPool(std::function<QVariant()> work,
                             std::function<void(const QVariant&)> then) {
    poolBusy_ = true;
    setup_.pool->start([this, work = std::move(work), then = std::move(then)]() mutable {
        QVariant result = work();
        // The job is never destroyed while a pool task of its own runs (the run waits for
        // its pool first), so posting back to it is safe.
        QMetaObject::invokeMethod(
            this,
            [this, then = std::move(then), result = std::move(result)] {
                poolBusy_ = false;
                then(result);
            },
            Qt::QueuedConnection);
    });
}

void ConverterJob::start() {
    clock_.start();
    PicModel& job = outcome_.job;
    job.completed = JobState::Converting;
    job.errorText.clear();
    job.outputPath.clear();
    job.outputBytes = 0;
    outcome_.creationDate = OutputPlacement::fileCreateDate(job.url);
    toolName_ = ToolLocator::toolForMode(setup_.mode);
    if (toolName_.isEmpty()) {
        finish(JobState::Failed, false,
               QStringLiteral("Unknown conversion mode %1 for %2").arg(setup_.mode).arg(job.url));
        return;
    }
    if (job.isStandard) {
        job.url_documents.clear();
        launchTool();
        return;
    }
    const QString copyName = setup_.losslessCopies ? QStringLiteral("%1_documents.ppm").arg(base_)
                                                   : InputNormaliser::normalisedCopyName(job.url);
    const QString copyPath =
        QDir(setup_.workDirectory).filePath(QStringLiteral("%1-%2").arg(setup_.row).arg(copyName));
    const QString source = job.url;
    const bool lossless = setup_.losslessCopies;
    runInPool(
        [source, copyPath, lossless] {
            return QVariant(
                lossless ? InputNormaliser::writeLosslessCopy(source, copyPath)
                         : InputNormaliser::convertPicturesToStandardFormats(source, copyPath));
        },
        [this](const QVariant& copy) {
            outcome_.job.url_documents = copy.toString();
            if (cancelled_) {
                finish(JobState::Waiting, false);
                return;
            }
            launchTool();
        });
}

void ConverterJob::launchTool() {
    const PicModel& job = outcome_.job;
    const QString input = job.url_documents.isEmpty() ? job.url : job.url_documents;
    temporaryOutput_ = QDir(setup_.workDirectory)
                           .filePath(QStringLiteral("%1-%2")
                                         .arg(setup_.row)
                                         .arg(temporaryOutputName(setup_.mode, base_)));
    const ToolCommand command = toolCommand(setup_.mode, setup_.ratio, input, temporaryOutput_);
    const QString program =
        QDir(setup_.toolsDirectory).filePath(ToolLocator::executableName(command.tool));
    qInfo().noquote() << QStringLiteral("input : %1").arg(input);

    process_ = std::make_unique<QProcess>();
    process_->setProgram(program);
    process_->setArguments(command.arguments);
    // Its own process group: a Ctrl-C meant for us must not kill the tool before we can
    // cancel in order (and clean up) ourselves. Yet it must not outlive us either: killed
    // outright, we leave a tool writing into a work folder the next start removes.
    const pid_t parent = ::getpid();
    process_->setChildProcessModifier([parent] {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) // we died before the line above took effect
            ::_exit(127);
    });
    // Both streams are drained as they fill, so a chatty tool never blocks on a full pipe.
    connect(process_.get(), &QProcess::readyReadStandardOutput, this,
            [this] { process_->readAllStandardOutput(); });
    connect(process_.get(), &QProcess::readyReadStandardError, this, [this] {
        const QByteArray chunk = process_->readAllStandardError();
        if (stderr_.size() < MaxKeptStderr)
            stderr_.append(chunk.left(MaxKeptStderr - stderr_.size()));
    });
    connect(process_.get(), &QProcess::finished, this, &ConverterJob::onToolFinished);
    connect(process_.get(), &QProcess::errorOccurred, this, &ConverterJob::onToolError);
    if (setup_.timeoutMs > 0)
        timeLimit_.start(setup_.timeoutMs);
    process_->start(QIODevice::ReadOnly);
}

void ConverterJob::onToolError(QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart)
        return; // crashes and time-outs arrive through finished()
    timeLimit_.stop();
    const QString message =
        QStringLiteral("Cannot start %1 (%2) to convert %3: %4")
            .arg(toolName_, process_->program(), outcome_.job.url, process_->errorString());
    process_.release()->deleteLater();
    finish(cancelled_ ? JobState::Waiting : JobState::Failed, false,
           cancelled_ ? QString() : message);
}

void ConverterJob::onToolFinished(int exitCode, QProcess::ExitStatus status) {
    timeLimit_.stop();
    killGrace_.stop();
    // Anything still buffered belongs to the report.
    const QByteArray rest = process_->readAllStandardError();
    if (stderr_.size() < MaxKeptStderr)
        stderr_.append(rest.left(MaxKeptStderr - stderr_.size()));
    process_.release()->deleteLater();

    const PicModel& job = outcome_.job;
    if (cancelled_) {
        finish(JobState::Waiting, false);
        return;
    }
    if (timedOut_) {
        finish(JobState::Failed, false,
               QStringLiteral("%1 did not finish within %2 s converting %3")
                   .arg(toolName_)
                   .arg(setup_.timeoutMs / 1000.0)
                   .arg(job.url));
        return;
    }
    const QString errorOutput = decodeUtf8(stderr_).trimmed();
    if (status == QProcess::CrashExit || exitCode != 0) {
        outcome_.convertError = decodeUtf8(stderr_);
        const QString how = status == QProcess::CrashExit
                                ? QStringLiteral("crashed")
                                : QStringLiteral("failed (exit status %1)").arg(exitCode);
        finish(JobState::Failed, false,
               QStringLiteral("%1 %2 converting %3%4")
                   .arg(toolName_, how, job.url,
                        errorOutput.isEmpty() ? QString() : QStringLiteral(": ") + errorOutput));
        return;
    }
    if (QFileInfo(temporaryOutput_).size() <= 0) {
        finish(JobState::Failed, false,
               QStringLiteral("%1 wrote no output for %2").arg(toolName_, job.url));
        return;
    }
    if (setup_.mode != ConvertMode::WebpToJpg) {
        publish(temporaryOutput_);
        return;
    }
    // dwebp writes PNG whatever the output is called; the user asked for JPEG.
    jpegOutput_ = temporaryOutput_ + QStringLiteral(".jpeg");
    const QString from = temporaryOutput_;
    const QString to = jpegOutput_;
    runInPool(
        [from, to] { return QVariant(InputNormaliser::reencodeFileAsJpeg(from, to)); },
        [this](const QVariant& ok) {
            if (cancelled_) {
                finish(JobState::Waiting, false);
            } else if (!ok.toBool()) {
                finish(JobState::Failed, false,
                       QStringLiteral("Cannot encode the JPEG result of %1").arg(outcome_.job.url));
            } else {
                publish(jpegOutput_);
            }
        });
}

void ConverterJob::publish(const QString& resultFile) {
    const QString wanted = setup_.outputPath;
    const QSet<QString> reserved = setup_.reservedElsewhere;
    // Publishing may have to copy across file systems: keep it off the interface thread.
    runInPool(
        [resultFile, wanted, reserved] {
            QString error;
            const auto placed = OutputPlacement::publishNoReplace(
                resultFile, wanted, [&](const QString& p) { return reserved.contains(p); }, &error);
            return placed ? QVariant(QStringList{*placed}) : QVariant(error);
        },
        [this](const QVariant& result) {
            // Once published the result stands, even when a cancel came meanwhile.
            if (result.typeId() == QMetaType::QStringList) {
                PicModel& job = outcome_.job;
                job.outputPath = result.toStringList().constFirst();
                job.outputBytes = QFileInfo(job.outputPath).size();
                finish(JobState::Converted, true);
            } else {
                finish(JobState::Waiting, false, result.toString());
            }
        });
}

void ConverterJob::cancel() {
    if (finished_ || cancelled_)
        return;
    cancelled_ = true;
    timeLimit_.stop();
    if (process_) {
        process_->terminate();
        killGrace_.start(KillGraceMs);
    }
    // Pool work finishes by itself and then sees the flag.
}

void ConverterJob::finish(qint64 state, bool ok, const QString& errorText) {
    if (finished_)
        return;
    finished_ = true;
    removeWorkFiles();
    PicModel& job = outcome_.job;
    job.completed = state;
    job.errorText = errorText;
    job.elapsedMs = clock_.isValid() ? clock_.elapsed() : 0;
    if (!ok)
        job.isDel = false;
    outcome_.ok = ok;
    outcome_.cancelled = cancelled_ && !ok;
    Q_EMIT finished(setup_.row, outcome_);
}

void ConverterJob::removeWorkFiles() {
    OutputPlacement::removeTemporaryFile(temporaryOutput_);
    OutputPlacement::removeTemporaryFile(jpegOutput_);
    OutputPlacement::removeTemporaryFile(outcome_.job.url_documents);
}
