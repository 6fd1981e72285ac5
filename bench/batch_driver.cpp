// Driver of bench/batch: makes the test images, and converts a set of files with the
// engine's BatchRun exactly as the application would, printing "name: value" lines.
#include "BatchRun.h"
#include "Job.h"
#include "JobList.h"
#include "ModeTable.h"
#include "batch_images.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

const char Usage[] =
    "usage: tessaro-bench-batch generate COUNT DIR [WIDTHxHEIGHT]\n"
    "       tessaro-bench-batch convert MODE QUALITY OUTPUT_DIR INPUT...\n"
    "  generate writes COUNT photo-like images to DIR/png and DIR/jpg (default 1600x1200).\n"
    "  convert runs one batch over the INPUT files (a folder stands for its files) with\n"
    "  conversion mode MODE (0 WebP->JPG, 1 WebP->PNG, 2 image->WebP, 3 GIF->WebP).\n";

// The engine logs a line per job; on a benchmark's terminal that is only noise.
void dropInfoMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

rusage usageOf(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return usage;
}

long long cpuMs(const rusage& usage) {
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000LL + t.tv_usec / 1000; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

QStringList expandInputs(const QStringList& arguments) {
    QStringList files;
    for (const QString& argument : arguments) {
        const QFileInfo info(argument);
        if (!info.isDir()) {
            files << info.absoluteFilePath();
            continue;
        }
        const QDir dir(info.absoluteFilePath());
        for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
            files << dir.filePath(name);
    }
    return files;
}

QSize parseSize(const QString& text) {
    const QStringList parts = text.split(u'x');
    if (parts.size() != 2)
        return {};
    return QSize(parts[0].toInt(), parts[1].toInt());
}

int generate(const QStringList& args) {
    bool countOk = false;
    const int count = args.value(0).toInt(&countOk);
    const QSize size = args.size() > 2 ? parseSize(args[2]) : QSize(1600, 1200);
    if (!countOk || count < 1 || args.size() < 2 || size.isEmpty()) {
        std::fputs(Usage, stderr);
        return 2;
    }
    return BatchImages::generate(count, args[1], size) ? 0 : 1;
}

int convert(QCoreApplication& app, const QStringList& args) {
    bool modeOk = false;
    bool qualityOk = false;
    const std::optional<ConvertMode> mode =
        ModeTable::fromNumber(args.value(0).toLongLong(&modeOk));
    const int quality = args.value(1).toInt(&qualityOk);
    if (!modeOk || !mode || !qualityOk || args.size() < 4) {
        std::fputs(Usage, stderr);
        return 2;
    }
    // Work files on the benchmark's own temporary space (TMPDIR), never in a user's home.
    QTemporaryDir work;
    if (!work.isValid()) {
        std::fprintf(stderr, "cannot create a work folder: %s\n", qPrintable(work.errorString()));
        return 1;
    }
    RunOptions options;
    options.mode = *mode;
    options.quality = quality;
    options.outputDirectory = QFileInfo(args[2]).absoluteFilePath();
    options.workDirectory = work.path();

    QElapsedTimer clock;
    clock.start();
    JobList list;
    for (const QString& file : expandInputs(args.mid(3)))
        list.addPath(file);
    const qint64 intakeMs = clock.elapsed();

    BatchRun run;
    RunReport report;
    QObject::connect(&run, &BatchRun::finished, &app, [&](const RunReport& r) {
        report = r;
        app.quit();
    });
    if (!run.start(&list, options)) {
        std::fprintf(stderr, "the run did not start (is %s a folder?)\n",
                     qPrintable(options.outputDirectory));
        return 1;
    }
    app.exec();
    const qint64 totalMs = clock.elapsed();

    qint64 jobMsSum = 0;
    qint64 jobMsMax = 0;
    for (const Job& job : list.jobs()) {
        jobMsSum += job.elapsedMs;
        jobMsMax = std::max(jobMsMax, job.elapsedMs);
        if (!job.detail.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(job.detail));
    }
    std::printf("jobs: %lld\n", static_cast<long long>(list.count()));
    std::printf("converted: %lld\n", static_cast<long long>(report.converted));
    std::printf("failures: %lld\n", static_cast<long long>(report.failedJobs.size()));
    std::printf("intake_ms: %lld\n", static_cast<long long>(intakeMs));
    std::printf("engine_ms: %lld\n", static_cast<long long>(totalMs));
    std::printf("job_mean_ms: %lld\n",
                static_cast<long long>(list.isEmpty() ? 0 : jobMsSum / list.count()));
    std::printf("job_max_ms: %lld\n", static_cast<long long>(jobMsMax));
    // The tools are children: "self" is what the engine itself spends (intake, normalising,
    // publishing, process handling).
    const rusage self = usageOf(RUSAGE_SELF);
    std::printf("engine_self_cpu_ms: %lld\n", cpuMs(self));
    std::printf("tools_cpu_ms: %lld\n", cpuMs(usageOf(RUSAGE_CHILDREN)));
    std::printf("engine_peak_rss_kb: %ld\n", self.ru_maxrss); // KiB on Linux
    return report.failed() ? 1 : 0;
}

} // namespace

int main(int argc, char* argv[]) {
    qInstallMessageHandler(dropInfoMessages);
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const QString command = args.isEmpty() ? QString() : args.takeFirst();
    if (command == QLatin1String("generate"))
        return generate(args);
    if (command == QLatin1String("convert"))
        return convert(app, args);
    std::fputs(Usage, stderr);
    return 2;
}
