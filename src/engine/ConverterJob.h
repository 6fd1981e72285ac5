#pragma once
#include "Aim.h"
#include "ImageMeasures.h"
#include "ImageMetadata.h"
#include "Job.h"
#include "ToolCommand.h"
#include "ToolRun.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <functional>
#include <map>
#include <memory>
#include <optional>

class QualitySearch;

// One conversion: the source's metadata and, only when the tool cannot read the source as it
// is (or it must shrink), a lossless upright copy; the tool as a child process, once or, for a
// file size or fidelity aim, a few times; the pixel work on a decoder's output (upright,
// shrunk, JPEG at its aim); measures; profile and metadata into the work file; the minimum
// saving; the no-replace publish. Lives on the interface thread; in-process image work runs on
// the run's pool. Emits finished() exactly once.
class ConverterJob : public QObject {
    Q_OBJECT
public:
    struct Setup {
        qsizetype row = 0;
        Job job;
        ConvertMode mode = ConvertMode::WebpToJpg;
        int quality = 90; // per cent
        Aim aim;
        QString toolsDirectory;
        QString gifResizer;    // the gifsicle program that shrinks animations, or ""
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
    void prepareSource();
    void shrinkAnimation();
    void encode();
    // A file size or fidelity aim for an encoder: a bounded quality search, one encode a step.
    bool searchesQuality() const;
    void probe();
    void finishDecoded(const QString& toolOutput);
    void finishEncoded(const QString& result);
    struct Finished;
    // What the pool made of the work file goes into the job; then the result is kept or not.
    void keepFinished(const Finished& done);
    void keepOrPublish(const QString& result);
    void publish(const QString& result);
    // Runs the tool (or another program) and, when it wrote `output`, goes on with then();
    // a failure ends the job with the tool's own words.
    void runTool(const QString& program, const QStringList& arguments, const QString& output,
                 std::function<void()> then);
    QString toolProgram(const QString& tool) const;
    QString workFile(const QString& role, const QString& extension);
    void addWarning(const QString& warning);
    void fail(Reason reason, const QString& detail, JobState state = JobState::Failed);
    void finish(JobState state);
    void removeWorkFiles();
    // Runs work on the pool and hands its result to `then` back on this object's thread.
    template <typename Result>
    void runInPool(std::function<Result()> work, std::function<void(Result)> then);

    Setup setup_;
    Job job_;
    QString toolName_;
    QString toolInput_;     // the source, its lossless copy or its shrunk animation
    QStringList workFiles_; // everything this job wrote in the run folder
    // Read on the pool before the tool runs, read again (never written) after it.
    std::shared_ptr<SourceMetadata> source_;
    std::optional<QDateTime> creationDate_;
    std::unique_ptr<ToolRun> tool_;
    // The aim searches: the pixels results are measured against, the quality search and the
    // encodes it tried.
    std::shared_ptr<const QImage> reference_;
    std::shared_ptr<const ImageMeasures::SsimReference> ssimReference_;
    std::unique_ptr<QualitySearch> search_;
    std::map<int, QString> probes_;
    QElapsedTimer clock_;
    bool sourceIsAnimatedWebp_ = false;
    bool cancelled_ = false;
    bool finished_ = false;
};
