#include "ConverterJob.h"

#include "InputNormaliser.h"
#include "ModeTable.h"
#include "OutputPlacement.h"
#include "ToolProcess.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <QSysInfo>

#include <csignal>
#include <unistd.h>

namespace {

constexpr int KillGraceMs = 2000;
// A tool that floods stderr must not grow memory without bound; the head is what matters.
constexpr qsizetype MaxKeptStderr = 1 << 20;

// The tool runs in its own process group (see launchTool): signal the whole group, so what
// it started goes too, even when the tool itself is already gone.
void signalToolGroup(qint64 group, int signal) {
    if (group > 0)
        ::kill(-static_cast<pid_t>(group), signal);
}

// Strict UTF-8: bytes that are not valid UTF-8 give an empty text.
QString decodeUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    return decoder.hasError() ? QString() : text;
}

// What the pool finds out about a source before its tool runs.
struct PreparedSource {
    QString copy;          // the lossless copy the tool reads instead, or ""
    bool animated = false; // an animated WebP, which the decoder cannot take
};

} // namespace

ToolCommand toolCommand(ConvertMode mode, int quality, const QString& input,
                        const QString& output) {
    const ModeTraits& traits = ModeTable::traits(mode);
    const QString tool = QLatin1String(traits.tool);
    if (!traits.toolEncodes)
        return {tool, {input, QStringLiteral("-o"), output}};
    return {tool,
            {QStringLiteral("-q"), QString::number(quality), input, QStringLiteral("-o"), output}};
}

QString toolExecutableName(const QString& tool) {
    static const bool arm = QSysInfo::currentCpuArchitecture().startsWith(QLatin1String("arm"));
    return arm ? tool : tool + QStringLiteral("-x8664");
}

QString workFileName(qsizetype row, const char* role, const QString& extension) {
    return QStringLiteral("%1.%2.%3").arg(row).arg(QLatin1String(role), extension);
}

ConverterJob::ConverterJob(Setup setup, QObject* parent)
    : QObject(parent), setup_(std::move(setup)), job_(setup_.job) {
    timeLimit_.setSingleShot(true);
    killGrace_.setSingleShot(true);
    connect(&timeLimit_, &QTimer::timeout, this, [this] {
        timedOut_ = true;
        if (process_)
            signalToolGroup(toolGroup_, SIGTERM);
        killGrace_.start(KillGraceMs);
    });
    connect(&killGrace_, &QTimer::timeout, this, [this] {
        if (process_) {
            signalToolGroup(toolGroup_, SIGKILL);
            process_->kill();
        }
    });
}

ConverterJob::~ConverterJob() {
    if (process_) {
        process_->disconnect(this);
        signalToolGroup(toolGroup_, SIGKILL);
        process_->kill();
        process_->waitForFinished(KillGraceMs);
    }
    if (!finished_)
        removeWorkFiles();
}

template <typename Result>
void ConverterJob::runInPool(std::function<Result()> work, std::function<void(Result)> then) {
    setup_.pool->start([this, work = std::move(work), then = std::move(then)]() mutable {
        Result result = work();
        // The job is never destroyed while a pool task of its own runs (the run waits for
        // its pool first), so posting back to it is safe.
        QMetaObject::invokeMethod(
            this, [then = std::move(then), result = std::move(result)] { then(result); },
            Qt::QueuedConnection);
    });
}

void ConverterJob::start() {
    clock_.start();
    job_.state = JobState::Converting;
    job_.reason = Reason::None;
    job_.detail.clear();
    job_.outputPath.clear();
    job_.outputBytes = 0;
    job_.profileCarried = false;
    job_.metadataCarried = false;
    job_.warning.clear();
    job_.workCopy.clear();
    creationDate_ = OutputPlacement::fileCreateDate(job_.path);
    toolName_ = ModeTable::tool(setup_.mode);
    if (setup_.outputPath.isEmpty()) {
        fail(Reason::NameTooLong, QStringLiteral("Cannot name the result of %1: the file name is "
                                                 "too long")
                                      .arg(job_.path));
        return;
    }
    prepareSource();
}

void ConverterJob::prepareSource() {
    const QString source = job_.path;
    const ModeTraits& traits = ModeTable::traits(setup_.mode);
    const bool mayCopy = traits.mayCopyForTool;
    const bool decodesWebp = !traits.toolEncodes;
    const bool jpegContent = job_.jpegContent;
    // The copy's extension (.ppm or .png) is added by the copy itself.
    const QString copyStem =
        QDir(setup_.workDirectory).filePath(QStringLiteral("%1.copy").arg(setup_.row));
    source_ = std::make_shared<SourceMetadata>();
    const std::shared_ptr<SourceMetadata> metadata = source_;
    const bool readMetadata = traits.carriesMetadata;
    runInPool<PreparedSource>(
        [source, copyStem, mayCopy, decodesWebp, jpegContent, metadata, readMetadata] {
            PreparedSource prepared;
            if (readMetadata)
                *metadata = SourceMetadata::read(source);
            prepared.animated = decodesWebp && InputNormaliser::isAnimatedWebp(source);
            const int orientation = metadata->orientation();
            // A plain JPEG or PNG goes to cwebp as it is; a copy costs a decode and an encode.
            const bool needsCopy =
                mayCopy &&
                (orientation != 1 || (jpegContent && !InputNormaliser::toolReadsJpeg(source)));
            if (needsCopy)
                prepared.copy = InputNormaliser::writeLosslessCopy(source, copyStem, orientation);
            return prepared;
        },
        [this](PreparedSource prepared) {
            job_.workCopy = prepared.copy;
            sourceIsAnimatedWebp_ = prepared.animated;
            if (cancelled_) {
                finish(JobState::Waiting);
                return;
            }
            launchTool();
        });
}

void ConverterJob::launchTool() {
    const QString input = job_.workCopy.isEmpty() ? job_.path : job_.workCopy;
    temporaryOutput_ =
        QDir(setup_.workDirectory)
            .filePath(workFileName(setup_.row, "out", ModeTable::outputExtension(setup_.mode)));
    const ToolCommand command = toolCommand(setup_.mode, setup_.quality, input, temporaryOutput_);
    const QString program = QDir(setup_.toolsDirectory).filePath(toolExecutableName(command.tool));
    qInfo().noquote() << QStringLiteral("input : %1").arg(input);

    process_ = std::make_unique<QProcess>();
    process_->setProgram(program);
    process_->setArguments(command.arguments);
    // Its own process group: a Ctrl-C meant for us must not kill the tool before we can
    // cancel in order (and clean up) ourselves. Yet it must not outlive us either: killed
    // outright, we leave a tool writing into a work folder the next start removes.
    process_->setChildProcessModifier(ToolProcess::childSetup());
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
    toolGroup_ = process_->processId(); // 0 when it could not be started
}

void ConverterJob::onToolError(QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart)
        return; // crashes and time-outs arrive through finished()
    timeLimit_.stop();
    const QString message =
        QStringLiteral("Cannot start %1 (%2) to convert %3: %4")
            .arg(toolName_, process_->program(), job_.path, process_->errorString());
    process_.release()->deleteLater();
    if (cancelled_)
        finish(JobState::Waiting);
    else
        fail(Reason::ToolNotStarted, message);
}

void ConverterJob::onToolFinished(int exitCode, QProcess::ExitStatus status) {
    timeLimit_.stop();
    killGrace_.stop();
    // A tool we stopped may leave children that ignored the request.
    if (timedOut_ || cancelled_)
        signalToolGroup(toolGroup_, SIGKILL);
    // Anything still buffered belongs to the report.
    const QByteArray rest = process_->readAllStandardError();
    if (stderr_.size() < MaxKeptStderr)
        stderr_.append(rest.left(MaxKeptStderr - stderr_.size()));
    process_.release()->deleteLater();

    if (cancelled_) {
        finish(JobState::Waiting);
        return;
    }
    if (timedOut_) {
        fail(Reason::ToolTimedOut, QStringLiteral("%1 did not finish within %2 s converting %3")
                                       .arg(toolName_)
                                       .arg(setup_.timeoutMs / 1000.0)
                                       .arg(job_.path));
        return;
    }
    const QString errorOutput = decodeUtf8(stderr_).trimmed();
    // The decoder's failure on an animated WebP has a reason of its own, told by the file.
    const Reason toolReason = sourceIsAnimatedWebp_   ? Reason::AnimatedWebp
                              : errorOutput.isEmpty() ? Reason::ToolSilent
                                                      : Reason::ToolFailed;
    if (status == QProcess::CrashExit || exitCode != 0) {
        const QString how = status == QProcess::CrashExit
                                ? QStringLiteral("crashed")
                                : QStringLiteral("failed (exit status %1)").arg(exitCode);
        fail(toolReason,
             QStringLiteral("%1 %2 converting %3%4")
                 .arg(toolName_, how, job_.path,
                      errorOutput.isEmpty() ? QString() : QStringLiteral(": ") + errorOutput));
        return;
    }
    if (QFileInfo(temporaryOutput_).size() <= 0) {
        fail(toolReason, QStringLiteral("%1 wrote no output for %2").arg(toolName_, job_.path));
        return;
    }
    finishWorkFile();
}

void ConverterJob::finishWorkFile() {
    const ConvertMode mode = setup_.mode;
    const QString toolOutput = temporaryOutput_;
    const int orientation = source_->orientation();
    // dwebp writes PNG whatever the output is called; the user asked for JPEG.
    if (mode == ConvertMode::WebpToJpg)
        pixelOutput_ = QDir(setup_.workDirectory)
                           .filePath(workFileName(setup_.row, "jpeg", QStringLiteral("jpg")));
    else if (mode == ConvertMode::WebpToPng && orientation != 1)
        pixelOutput_ = QDir(setup_.workDirectory)
                           .filePath(workFileName(setup_.row, "upright", QStringLiteral("png")));
    const QString pixels = pixelOutput_;
    const int quality = setup_.quality;
    const std::shared_ptr<const SourceMetadata> metadata = source_;
    const bool keepProfile = setup_.keepColorProfiles;
    const bool keepMetadata = setup_.keepMetadata;
    struct Finished {
        QString result; // "" when the pixel step failed
        SourceMetadata::Transfer transfer;
    };
    runInPool<Finished>(
        [mode, toolOutput, pixels, orientation, quality, metadata, keepProfile, keepMetadata] {
            Finished done;
            bool ok = true;
            if (mode == ConvertMode::WebpToJpg)
                ok = InputNormaliser::reencodeFileAsJpeg(toolOutput, pixels, quality, orientation);
            else if (!pixels.isEmpty())
                ok = InputNormaliser::writeUprightPng(toolOutput, pixels, orientation);
            if (!ok)
                return done;
            done.result = pixels.isEmpty() ? toolOutput : pixels;
            // Written before publishing: a published result is complete or absent.
            done.transfer = metadata->writeInto(done.result, keepProfile, keepMetadata);
            return done;
        },
        [this](Finished done) {
            if (cancelled_) {
                finish(JobState::Waiting);
                return;
            }
            if (done.result.isEmpty()) {
                fail(Reason::EncodeFailed,
                     QStringLiteral("Cannot encode the %1 result of %2")
                         .arg(setup_.mode == ConvertMode::WebpToJpg ? QStringLiteral("JPEG")
                                                                    : QStringLiteral("PNG"),
                              job_.path));
                return;
            }
            job_.profileCarried = done.transfer.profileCarried;
            job_.metadataCarried = done.transfer.metadataCarried;
            job_.warning = done.transfer.warning;
            publish(done.result);
        });
}

void ConverterJob::publish(const QString& resultFile) {
    const QString folder = setup_.outputFolder;
    const QString subfolder = job_.outputSubfolder;
    const QString fileName = QFileInfo(setup_.outputPath).fileName();
    const QSet<QString> reserved = setup_.reservedElsewhere;
    const std::optional<QDateTime> date =
        setup_.keepDate && setup_.keepDate() ? creationDate_ : std::nullopt;
    // Publishing may have to copy across file systems: keep it off the interface thread.
    runInPool<OutputPlacement::Published>(
        [resultFile, folder, subfolder, fileName, reserved, date] {
            return OutputPlacement::publishNoReplace(
                resultFile, folder, subfolder, fileName,
                [&](const QString& p) { return reserved.contains(p); }, date);
        },
        [this](OutputPlacement::Published placed) {
            // Once published the result stands, even when a cancel came meanwhile.
            if (placed.ok()) {
                job_.outputPath = placed.path;
                job_.outputBytes = QFileInfo(placed.path).size();
                finish(JobState::Converted);
                return;
            }
            // Other write errors may pass on another try; these never will.
            const bool forGood =
                placed.reason == Reason::NameTooLong || placed.reason == Reason::LinkInOutputTree;
            fail(placed.reason, placed.message, forGood ? JobState::Failed : JobState::Waiting);
        });
}

void ConverterJob::cancel() {
    if (finished_ || cancelled_)
        return;
    cancelled_ = true;
    timeLimit_.stop();
    if (process_) {
        signalToolGroup(toolGroup_, SIGTERM);
        killGrace_.start(KillGraceMs);
    }
    // Pool work finishes by itself and then sees the flag.
}

void ConverterJob::fail(Reason reason, const QString& detail, JobState state) {
    job_.reason = reason;
    job_.detail = detail;
    finish(state);
}

void ConverterJob::finish(JobState state) {
    if (finished_)
        return;
    finished_ = true;
    removeWorkFiles();
    job_.state = state;
    // Whatever else went wrong once the run was stopped, the job was not done for that.
    if (cancelled_ && state != JobState::Converted)
        job_.reason = Reason::Cancelled;
    job_.elapsedMs = clock_.isValid() ? clock_.elapsed() : 0;
    Q_EMIT finished(setup_.row, job_);
}

void ConverterJob::removeWorkFiles() {
    OutputPlacement::removeTemporaryFile(temporaryOutput_);
    OutputPlacement::removeTemporaryFile(pixelOutput_);
    OutputPlacement::removeTemporaryFile(job_.workCopy);
}
