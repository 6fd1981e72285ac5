#include "ConverterJob.h"

#include "AimedEncoding.h"
#include "ImageMeasures.h"
#include "InputNormaliser.h"
#include "ModeTable.h"
#include "OutputPlacement.h"
#include "QualitySearch.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>

namespace {

// What the pool finds out about a source before its tool runs.
struct PreparedSource {
    QString copy;           // the lossless copy the tool reads instead, or ""
    bool animated = false;  // an animated WebP, which the decoder cannot take
    bool shrinkGif = false; // an animation larger than the size limit
};

} // namespace

// What the pool makes of a finished work file.
struct ConverterJob::Finished {
    QString result; // "" when the pixel step failed
    SourceMetadata::Transfer transfer;
    QSize size;
    int quality = -1;
    std::optional<double> psnr;
    std::optional<double> ssim;
    QString warning;

    void measure(const QImage& reference) {
        const ImageMeasures::Measures measures = ImageMeasures::measure(reference, QImage(result));
        psnr = measures.psnr;
        ssim = measures.ssim;
    }
};

namespace {

qint64 fileSize(const QString& path) {
    return QFileInfo(path).size();
}

bool exceeds(QSize size, int maxSide) {
    return maxSide > 0 && qMax(size.width(), size.height()) > maxSide;
}

} // namespace

ConverterJob::ConverterJob(Setup setup, QObject* parent)
    : QObject(parent), setup_(std::move(setup)), job_(setup_.job) {}

ConverterJob::~ConverterJob() {
    tool_.reset(); // kills a tool still running
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
    const Job before = job_;
    job_ = Job();
    job_.path = before.path;
    job_.name = before.name;
    job_.sourceBytes = before.sourceBytes;
    job_.jpegContent = before.jpegContent;
    job_.mode = before.mode;
    job_.outputSubfolder = before.outputSubfolder;
    job_.state = JobState::Converting;
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
    const bool isAnimation = setup_.mode == ConvertMode::GifToWebp;
    const bool jpegContent = job_.jpegContent;
    const int maxSide = setup_.aim.maxSide;
    // The copy's extension (.ppm or .png) is added by the copy itself.
    const QString copyStem =
        QDir(setup_.workDirectory).filePath(QStringLiteral("%1.copy").arg(setup_.row));
    source_ = std::make_shared<SourceMetadata>();
    const std::shared_ptr<SourceMetadata> metadata = source_;
    const bool readMetadata = traits.carriesMetadata;
    // A search encodes many times: a raw copy is read much faster than the source.
    const bool searches = searchesQuality();
    runInPool<PreparedSource>(
        [=] {
            PreparedSource prepared;
            if (readMetadata)
                *metadata = SourceMetadata::read(source);
            prepared.animated = decodesWebp && InputNormaliser::isAnimatedWebp(source);
            const int orientation = metadata->orientation();
            const QSize size = QImageReader(source).size();
            prepared.shrinkGif = isAnimation && exceeds(size, maxSide);
            // A plain JPEG or PNG goes to cwebp as it is; a copy costs a decode and an encode.
            const bool needsCopy =
                mayCopy && (searches || orientation != 1 || exceeds(size, maxSide) ||
                            (jpegContent && !InputNormaliser::toolReadsJpeg(source)));
            if (needsCopy)
                prepared.copy =
                    InputNormaliser::writeLosslessCopy(source, copyStem, orientation, maxSide);
            return prepared;
        },
        [this](PreparedSource prepared) {
            job_.workCopy = prepared.copy;
            workFiles_ << prepared.copy;
            toolInput_ = prepared.copy.isEmpty() ? job_.path : prepared.copy;
            sourceIsAnimatedWebp_ = prepared.animated;
            if (cancelled_)
                finish(JobState::Waiting);
            else if (prepared.shrinkGif)
                shrinkAnimation();
            else
                encode();
        });
}

void ConverterJob::shrinkAnimation() {
    if (setup_.gifResizer.isEmpty()) {
        addWarning(QStringLiteral("not resized: gifsicle is not installed"));
        encode();
        return;
    }
    const QString shrunk = workFile(QStringLiteral("resized"), QStringLiteral("gif"));
    const QString box = QStringLiteral("%1x%1").arg(setup_.aim.maxSide);
    runTool(setup_.gifResizer,
            {QStringLiteral("--resize-fit"), box, job_.path, QStringLiteral("-o"), shrunk}, shrunk,
            [this, shrunk] {
                toolInput_ = shrunk;
                encode();
            });
}

void ConverterJob::encode() {
    const ModeTraits& traits = ModeTable::traits(setup_.mode);
    const Aim& aim = setup_.aim;
    qInfo().noquote() << QStringLiteral("input : %1").arg(toolInput_);
    const QString output = workFile(QStringLiteral("out"), ModeTable::outputExtension(setup_.mode));
    if (!traits.toolEncodes) {
        runTool(toolProgram(toolName_), toolCommand(setup_.mode, {}, toolInput_, output).arguments,
                output, [this, output] { finishDecoded(output); });
        return;
    }
    if (searchesQuality()) {
        const bool bySize = aim.kind == Aim::Kind::FileSize;
        search_ = std::make_unique<QualitySearch>(
            bySize ? QualitySearch::Goal(QualitySearch::TargetBytes{aim.targetBytes})
                   : QualitySearch::Goal(QualitySearch::TargetSsim{aim.targetSsim}),
            bySize ? AimedEncoding::MaxSizeEncodes : AimedEncoding::MaxFidelityEncodes);
        if (bySize) {
            probe();
            return;
        }
        const QString input = toolInput_;
        using References = std::pair<std::shared_ptr<const QImage>,
                                     std::shared_ptr<const ImageMeasures::SsimReference>>;
        runInPool<References>(
            [input] {
                auto image = std::make_shared<const QImage>(InputNormaliser::readUpright(input, 1));
                return References{image,
                                  std::make_shared<const ImageMeasures::SsimReference>(*image)};
            },
            [this](References references) {
                reference_ = std::move(references.first);
                ssimReference_ = std::move(references.second);
                probe();
            });
        return;
    }
    if (aim.kind != Aim::Kind::Quality && !aim.lossless)
        addWarning(AimedEncoding::aimDoesNotApply(aim, setup_.quality));
    const EncodeChoice choice{setup_.quality, aim.lossless, false, false};
    runTool(toolProgram(toolName_), toolCommand(setup_.mode, choice, toolInput_, output).arguments,
            output, [this, output] {
                job_.quality = setup_.aim.lossless ? -1 : setup_.quality;
                finishEncoded(output);
            });
}

bool ConverterJob::searchesQuality() const {
    // Lossless keeps every pixel: there is nothing left to aim at.
    const Aim& aim = setup_.aim;
    return ModeTable::traits(setup_.mode).aimsPerImage &&
           ModeTable::traits(setup_.mode).toolEncodes && aim.kind != Aim::Kind::Quality &&
           !aim.lossless;
}

void ConverterJob::probe() {
    const Aim& aim = setup_.aim;
    // The cheapest end first (quality 0 for an SSIM, 100 for a size): a flat graphic is sharp
    // even at 0 and a small image fits even at 100, and then one encode settles it.
    const std::optional<int> quality =
        probes_.empty() ? (aim.kind == Aim::Kind::Fidelity ? 0 : 100) : search_->nextQuality();
    if (!quality) {
        const QualitySearch::Choice choice = search_->chosen();
        job_.quality = choice.quality;
        job_.ssim = choice.ssim;
        if (!choice.reached)
            addWarning(
                aim.kind == Aim::Kind::FileSize
                    ? AimedEncoding::sizeNotReached(aim.targetBytes, choice.bytes)
                    : AimedEncoding::fidelityNotReached(aim.targetSsim, choice.ssim.value_or(0)));
        finishEncoded(probes_[choice.quality]);
        return;
    }
    const QString output =
        workFile(QStringLiteral("probe%1").arg(*quality), ModeTable::outputExtension(setup_.mode));
    // Invisible pixels count in the measure: the encoder must not change their colour.
    const EncodeChoice choice{*quality, false, true, reference_ && reference_->hasAlphaChannel()};
    runTool(toolProgram(toolName_), toolCommand(setup_.mode, choice, toolInput_, output).arguments,
            output, [this, output, quality] {
                probes_[*quality] = output;
                if (!reference_) {
                    search_->report(*quality, fileSize(output), std::nullopt);
                    probe();
                    return;
                }
                const std::shared_ptr<const ImageMeasures::SsimReference> reference =
                    ssimReference_;
                runInPool<double>([reference, output] { return reference->ssimOf(QImage(output)); },
                                  [this, output, quality](double ssim) {
                                      if (cancelled_) {
                                          finish(JobState::Waiting);
                                          return;
                                      }
                                      search_->report(*quality, fileSize(output), ssim);
                                      probe();
                                  });
            });
}

void ConverterJob::finishDecoded(const QString& toolOutput) {
    const bool toJpeg = setup_.mode == ConvertMode::WebpToJpg;
    const QString pixelOutput = toJpeg ? workFile(QStringLiteral("jpeg"), QStringLiteral("jpg"))
                                       : workFile(QStringLiteral("upright"), QStringLiteral("png"));
    const int orientation = source_->orientation();
    const int quality = setup_.quality;
    const Aim aim = setup_.aim;
    const std::shared_ptr<const SourceMetadata> metadata = source_;
    const bool keepProfile = setup_.keepColorProfiles;
    const bool keepMetadata = setup_.keepMetadata;
    runInPool<Finished>(
        [=] {
            Finished done;
            const QImage pixels =
                InputNormaliser::readUpright(toolOutput, orientation, aim.maxSide);
            if (pixels.isNull())
                return done;
            done.size = pixels.size();
            QImage reference = pixels;
            if (toJpeg) {
                // dwebp writes PNG whatever the output is called; the user asked for JPEG.
                reference = InputNormaliser::flattenOntoWhite(pixels);
                const AimedEncoding::Encoded encoded =
                    AimedEncoding::jpegAtAim(reference, aim, quality);
                if (encoded.bytes.isEmpty() ||
                    !InputNormaliser::writeBytes(encoded.bytes, pixelOutput))
                    return done;
                done.result = pixelOutput;
                done.quality = encoded.quality;
                done.ssim = encoded.ssim;
                if (!encoded.reached)
                    done.warning =
                        aim.kind == Aim::Kind::FileSize
                            ? AimedEncoding::sizeNotReached(aim.targetBytes, encoded.bytes.size())
                            : AimedEncoding::fidelityNotReached(aim.targetSsim,
                                                                encoded.ssim.value_or(0));
            } else if (orientation != 1 || pixels.size() != QImageReader(toolOutput).size()) {
                if (!InputNormaliser::writePng(pixels, pixelOutput))
                    return done;
                done.result = pixelOutput;
            } else {
                done.result = toolOutput;
            }
            if (aim.measure)
                done.measure(reference);
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
            keepFinished(done);
        });
}

void ConverterJob::finishEncoded(const QString& result) {
    const bool measure = setup_.aim.measure;
    const std::shared_ptr<const QImage> searched = reference_;
    const QString input = toolInput_;
    const std::shared_ptr<const SourceMetadata> metadata = source_;
    const bool keepProfile = setup_.keepColorProfiles;
    const bool keepMetadata = setup_.keepMetadata;
    runInPool<Finished>(
        [=] {
            Finished done;
            done.result = result;
            done.size = QImageReader(result).size();
            if (measure)
                done.measure(searched ? *searched : InputNormaliser::readUpright(input, 1));
            // Written before publishing: a published result is complete or absent.
            done.transfer = metadata->writeInto(result, keepProfile, keepMetadata);
            return done;
        },
        [this](Finished done) {
            if (cancelled_) {
                finish(JobState::Waiting);
                return;
            }
            keepFinished(done);
        });
}

void ConverterJob::keepFinished(const Finished& done) {
    if (done.quality >= 0)
        job_.quality = done.quality;
    if (done.ssim)
        job_.ssim = done.ssim;
    if (done.psnr)
        job_.psnr = done.psnr;
    job_.resultSize = done.size;
    job_.profileCarried = done.transfer.profileCarried;
    job_.metadataCarried = done.transfer.metadataCarried;
    addWarning(done.warning);
    addWarning(done.transfer.warning);
    keepOrPublish(done.result);
}

void ConverterJob::keepOrPublish(const QString& result) {
    const qint64 bytes = fileSize(result);
    if (AimedEncoding::savesTooLittle(setup_.aim, job_.sourceBytes, bytes)) {
        job_.outputBytes = bytes;
        fail(Reason::NotSmaller, AimedEncoding::notSmaller(job_.sourceBytes, bytes),
             JobState::Waiting);
        return;
    }
    publish(result);
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
                job_.outputBytes = fileSize(placed.path);
                finish(JobState::Converted);
                return;
            }
            // Other write errors may pass on another try; these never will.
            const bool forGood =
                placed.reason == Reason::NameTooLong || placed.reason == Reason::LinkInOutputTree;
            fail(placed.reason, placed.message, forGood ? JobState::Failed : JobState::Waiting);
        });
}

void ConverterJob::runTool(const QString& program, const QStringList& arguments,
                           const QString& output, std::function<void()> then) {
    const QString name = QFileInfo(program).fileName().remove(QStringLiteral("-x8664"));
    tool_ = std::make_unique<ToolRun>();
    connect(tool_.get(), &ToolRun::finished, this,
            [this, program, name, output, then = std::move(then)](const ToolRun::Result& run) {
                // The tool object is still inside its own signal.
                tool_.release()->deleteLater();
                if (run.end == ToolRun::End::Stopped || cancelled_) {
                    finish(JobState::Waiting);
                    return;
                }
                if (run.end == ToolRun::End::NotStarted) {
                    fail(Reason::ToolNotStarted,
                         QStringLiteral("Cannot start %1 (%2) to convert %3: %4")
                             .arg(name, program, job_.path, run.startError));
                    return;
                }
                if (run.end == ToolRun::End::TimedOut) {
                    fail(Reason::ToolTimedOut,
                         QStringLiteral("%1 did not finish within %2 s converting %3")
                             .arg(name)
                             .arg(setup_.timeoutMs / 1000.0)
                             .arg(job_.path));
                    return;
                }
                // The decoder's failure on an animated WebP has a reason of its own, told by
                // the file.
                const Reason reason = sourceIsAnimatedWebp_       ? Reason::AnimatedWebp
                                      : run.errorOutput.isEmpty() ? Reason::ToolSilent
                                                                  : Reason::ToolFailed;
                if (!run.succeeded()) {
                    const QString how =
                        run.end == ToolRun::End::Crashed
                            ? QStringLiteral("crashed")
                            : QStringLiteral("failed (exit status %1)").arg(run.exitCode);
                    fail(reason, QStringLiteral("%1 %2 converting %3%4")
                                     .arg(name, how, job_.path,
                                          run.errorOutput.isEmpty()
                                              ? QString()
                                              : QStringLiteral(": ") + run.errorOutput));
                    return;
                }
                if (fileSize(output) <= 0) {
                    fail(reason, QStringLiteral("%1 wrote no output for %2").arg(name, job_.path));
                    return;
                }
                then();
            });
    tool_->start(program, arguments, setup_.timeoutMs);
}

QString ConverterJob::toolProgram(const QString& tool) const {
    return QDir(setup_.toolsDirectory).filePath(toolExecutableName(tool));
}

QString ConverterJob::workFile(const QString& role, const QString& extension) {
    const QString path =
        QDir(setup_.workDirectory).filePath(workFileName(setup_.row, role, extension));
    workFiles_ << path;
    return path;
}

void ConverterJob::addWarning(const QString& warning) {
    if (warning.isEmpty())
        return;
    job_.warning = job_.warning.isEmpty() ? warning : job_.warning + QStringLiteral("; ") + warning;
}

void ConverterJob::cancel() {
    if (finished_ || cancelled_)
        return;
    cancelled_ = true;
    if (tool_)
        tool_->stop();
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
    for (const QString& path : std::as_const(workFiles_))
        OutputPlacement::removeTemporaryFile(path);
}
