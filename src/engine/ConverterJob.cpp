#include "ConverterJob.h"

#include "InputNormaliser.h"
#include "OutputPlacement.h"
#include "ToolLocator.h"
#include "ToolProcess.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

#include <csignal>
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

QString workFileName(qsizetype row, const char* role, const QString& extension) {
    return QStringLiteral("%1.%2.%3").arg(row).arg(QLatin1String(role), extension);
}

QString finalOutputName(qint64 mode, const QString& base) {
    const QString ext = extensionForMode(mode);
    return ext.isEmpty() ? QString() : QStringLiteral("%1.%2").arg(base, ext);
}

QString resultFolder(const QString& outputDirectory, const QString& subfolder) {
    return subfolder.isEmpty() ? outputDirectory : outputDirectory + u'/' + subfolder;
}

QString plainResultPath(const QString& outputDirectory, const QString& subfolder, qint64 mode,
                        const QString& source) {
    const QString name = finalOutputName(mode, OutputPlacement::baseName(source));
    return name.isEmpty() ? QString() : resultFolder(outputDirectory, subfolder) + u'/' + name;
}

ConverterJob::ConverterJob(Setup setup, QObject* parent)
    : QObject(parent), setup_(std::move(setup)) {
    outcome_.job = setup_.job;
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
    job.profileCarried = false;
    job.metadataCarried = false;
    job.warningText.clear();
    outcome_.creationDate = OutputPlacement::fileCreateDate(job.url);
    toolName_ = ToolLocator::toolForMode(setup_.mode);
    if (toolName_.isEmpty()) {
        finish(JobState::Failed, false,
               QStringLiteral("Unknown conversion mode %1 for %2").arg(setup_.mode).arg(job.url));
        return;
    }
    if (setup_.outputPath.isEmpty()) {
        finish(JobState::Failed, false,
               QStringLiteral("Cannot name the result of %1: %2")
                   .arg(job.url, QLatin1String(OutputPlacement::NameTooLong)));
        return;
    }
    job.url_documents.clear();
    prepareSource();
}

void ConverterJob::prepareSource() {
    const QString source = outcome_.job.url;
    // A plain JPEG or PNG goes to cwebp as it is; a copy costs a decode and an encode.
    const bool mayCopy = setup_.mode == ConvertMode::ImageToWebp;
    const bool jpegContent = !outcome_.job.isStandard;
    // The copy's extension (.ppm or .png) is added by the copy itself.
    const QString copyStem =
        QDir(setup_.workDirectory).filePath(QStringLiteral("%1.copy").arg(setup_.row));
    source_ = std::make_shared<SourceMetadata>();
    const std::shared_ptr<SourceMetadata> metadata = source_;
    runInPool(
        [source, copyStem, mayCopy, jpegContent, metadata] {
            *metadata = SourceMetadata::read(source);
            const int orientation = metadata->orientation();
            const bool needsCopy =
                mayCopy &&
                (orientation != 1 || (jpegContent && !InputNormaliser::toolReadsJpeg(source)));
            if (!needsCopy)
                return QVariant(QString());
            return QVariant(InputNormaliser::writeLosslessCopy(source, copyStem, orientation));
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
    temporaryOutput_ =
        QDir(setup_.workDirectory)
            .filePath(workFileName(setup_.row, "out", extensionForMode(setup_.mode)));
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
            .arg(toolName_, process_->program(), outcome_.job.url, process_->errorString());
    process_.release()->deleteLater();
    finish(cancelled_ ? JobState::Waiting : JobState::Failed, false,
           cancelled_ ? QString() : message);
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
        outcome_.silentToolFailure = errorOutput.isEmpty();
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
        outcome_.silentToolFailure = errorOutput.isEmpty();
        finish(JobState::Failed, false,
               QStringLiteral("%1 wrote no output for %2").arg(toolName_, job.url));
        return;
    }
    finishWorkFile();
}

void ConverterJob::finishWorkFile() {
    const qint64 mode = setup_.mode;
    const QString toolOutput = temporaryOutput_;
    const int orientation = source_->orientation();
    // dwebp writes PNG whatever the output is called; the user asked for JPEG.
    if (mode == ConvertMode::WebpToJpg)
        jpegOutput_ = QDir(setup_.workDirectory)
                          .filePath(workFileName(setup_.row, "jpeg", QStringLiteral("jpg")));
    else if (mode == ConvertMode::WebpToPng && orientation != 1)
        jpegOutput_ = QDir(setup_.workDirectory)
                          .filePath(workFileName(setup_.row, "upright", QStringLiteral("png")));
    const QString pixels = jpegOutput_;
    const int quality = static_cast<int>(setup_.ratio); // truncation toward zero
    const std::shared_ptr<const SourceMetadata> metadata = source_;
    const bool keepProfile = setup_.keepColorProfiles;
    const bool keepMetadata = setup_.keepMetadata;
    auto transfer = std::make_shared<SourceMetadata::Transfer>();
    runInPool(
        [mode, toolOutput, pixels, orientation, quality, metadata, keepProfile, keepMetadata,
         transfer] {
            bool ok = true;
            if (mode == ConvertMode::WebpToJpg)
                ok = InputNormaliser::reencodeFileAsJpeg(toolOutput, pixels, quality, orientation);
            else if (!pixels.isEmpty())
                ok = InputNormaliser::writeUprightPng(toolOutput, pixels, orientation);
            if (!ok)
                return QVariant(QString());
            const QString result = pixels.isEmpty() ? toolOutput : pixels;
            // Written before publishing: a published result is complete or absent.
            *transfer = metadata->writeInto(result, keepProfile, keepMetadata);
            return QVariant(result);
        },
        [this, transfer](const QVariant& result) {
            if (cancelled_) {
                finish(JobState::Waiting, false);
                return;
            }
            if (result.toString().isEmpty()) {
                finish(JobState::Failed, false,
                       QStringLiteral("Cannot encode the %1 result of %2")
                           .arg(setup_.mode == ConvertMode::WebpToJpg ? QStringLiteral("JPEG")
                                                                      : QStringLiteral("PNG"),
                                outcome_.job.url));
                return;
            }
            PicModel& job = outcome_.job;
            job.profileCarried = transfer->profileCarried;
            job.metadataCarried = transfer->metadataCarried;
            job.warningText = transfer->warning;
            publish(result.toString());
        });
}

void ConverterJob::publish(const QString& resultFile) {
    const QString wanted = setup_.outputPath;
    const QSet<QString> reserved = setup_.reservedElsewhere;
    const QString subfolder = outcome_.job.outputSubfolder;
    // Publishing may have to copy across file systems: keep it off the interface thread.
    runInPool(
        [resultFile, wanted, reserved, subfolder] {
            QString error;
            // Results of a folder tree land in mirrored subfolders, made as needed; the output
            // folder itself is never made again once it has gone.
            const QString folder = QFileInfo(wanted).path();
            if (!subfolder.isEmpty() && folder.endsWith(subfolder) &&
                QFileInfo(folder.chopped(subfolder.size())).isDir())
                QDir().mkpath(folder);
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
                return;
            }
            // A name that can never fit fails for good; other write errors may pass.
            const QString error = result.toString();
            finish(error.endsWith(QLatin1String(OutputPlacement::NameTooLong)) ? JobState::Failed
                                                                               : JobState::Waiting,
                   false, error);
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
