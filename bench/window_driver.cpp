// bench/window: the full list with thumbnails. A folder tree of FILES small photos is dropped on
// the window with "Include subfolders" on, the list is scrolled from top to bottom a screen at a
// time (each step once the screen's thumbnails are in), then RUN_FILES of them are converted.
// Prints "name: value" lines: the event loop's longest gap in each phase, the intake's time, the
// rate thumbnails fill rows while scrolling, and the process's peak memory.
#include "HomeView.h"
#include "JobList.h"
#include "JobTableModel.h"
#include "Preferences.h"
#include "RunReport.h"
#include "ui_bench_support.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace {

constexpr int FilesPerFolder = 100;

// The tree: photos/dNNN/photoNNNNN.jpg, a handful of distinct JPEGs copied over and over.
QStringList writeTree(const QString& root, int count, int side) {
    QList<QByteArray> variants;
    for (quint32 seed = 1; seed <= 8; ++seed) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        UiBench::photoLike(side, side * 3 / 4, seed).save(&buffer, "JPEG", 85);
        variants.append(bytes);
    }
    QStringList folders;
    for (int i = 0; i < count; ++i) {
        const QString folder =
            root + QStringLiteral("/d%1").arg(i / FilesPerFolder, 3, 10, QLatin1Char('0'));
        if (i % FilesPerFolder == 0) {
            QDir().mkpath(folder);
            folders.append(folder);
        }
        QFile file(folder + QStringLiteral("/photo%1.jpg").arg(i, 5, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly) || file.write(variants.at(i % variants.size())) < 0)
            return {};
    }
    return folders;
}

long peakRssMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong() / 1024;
    return -1;
}

// Drops paths on the window and waits for the intake; the seconds it took.
double addAndWait(HomeView& home, const QStringList& paths) {
    QEventLoop loop;
    QObject::connect(home.session(), &ConversionSession::intakeFinished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(0, &home, [&] { home.dragDropViewFileList(paths); });
    loop.exec();
    QCoreApplication::processEvents(); // the table's repaint belongs to the intake
    return clock.nsecsElapsed() / 1e9;
}

// Scrolls the table from top to bottom a screen at a time, each step once every row on screen
// shows its thumbnail. The rows shown with their thumbnails, or -1 when one never came.
int scrollThrough(JobTableView* table, JobTableModel* model) {
    QScrollBar* bar = table->verticalScrollBar();
    bar->setValue(0);
    QEventLoop loop;
    QTimer stuck;
    stuck.setSingleShot(true);
    stuck.setInterval(10000);
    int shown = 0;
    bool failed = false;
    QObject::connect(&stuck, &QTimer::timeout, &loop, [&] {
        failed = true;
        loop.quit();
    });
    const auto screenReady = [&] {
        const int first = qMax(0, table->rowAt(0));
        int last = table->rowAt(table->viewport()->height() - 1);
        if (last < 0)
            last = model->rowCount() - 1;
        for (int row = first; row <= last; ++row)
            if (model->index(row, 0).data(JobTableModel::ThumbnailRole).value<QImage>().isNull())
                return 0;
        return last + 1 - first;
    };
    std::function<void()> advance = [&] {
        const int ready = screenReady();
        if (ready == 0)
            return;
        shown += ready;
        if (bar->value() >= bar->maximum()) {
            loop.quit();
            return;
        }
        bar->setValue(bar->value() + table->viewport()->height());
        stuck.start();
        // Rows decoded ahead are ready without a signal.
        QTimer::singleShot(0, &loop, [&] { advance(); });
    };
    QObject::connect(model, &QAbstractItemModel::dataChanged, &loop, [&] { advance(); });
    stuck.start();
    QTimer::singleShot(0, &loop, [&] { advance(); });
    loop.exec();
    return failed ? -1 : shown;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("tessaro-bench"));
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    const int runCount = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 2000;
    const int side = argc > 3 ? QString::fromLocal8Bit(argv[3]).toInt() : 320;
    if (count <= 0 || runCount <= 0 || runCount > count || side <= 0) {
        std::fprintf(stderr, "usage: tessaro-bench-window [FILES [RUN_FILES [SIDE]]]\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("photos"));
    const QString out = dir.filePath(QStringLiteral("out"));
    QDir().mkpath(out);
    const QStringList folders = writeTree(root, count, side);
    if (folders.isEmpty()) {
        std::fprintf(stderr, "cannot write the photos under %s\n", qPrintable(root));
        return 1;
    }

    Preferences::instance().setIncludeSubfolders(true);
    HomeView home;
    home.resize(1000, 700);
    home.show();
    home.session()->chooseMode(ConvertMode::ImageToWebp);
    home.chooseOutputDirectory = [out](QWidget*, const auto& reply) { reply(out); };
    home.showRatingRequest = [] {};
    JobTableModel* model = home.session()->model();

    UiBench::StallMeter meter;
    meter.start();
    const double intakeSeconds = addAndWait(home, {root});
    const double intakeGap = meter.longestMs();
    const double intakeWork = meter.longestWorkMs();
    const qsizetype listed = home.session()->jobs()->count();
    if (listed != count) {
        std::fprintf(stderr, "the intake listed %lld of %d files\n", (long long)listed, count);
        return 1;
    }

    meter.start();
    QElapsedTimer clock;
    clock.start();
    const int thumbnailRows = scrollThrough(home.tableView(), model);
    const double scrollSeconds = clock.nsecsElapsed() / 1e9;
    const double scrollGap = meter.longestMs();
    const double scrollWork = meter.longestWorkMs();
    const long peakWithList = peakRssMb();
    if (thumbnailRows < 0) {
        std::fprintf(stderr, "a screen's thumbnails did not come\n");
        return 1;
    }

    // The run: a list of the first RUN_FILES photos.
    home.clearList();
    meter.start();
    addAndWait(home, folders.mid(0, (runCount + FilesPerFolder - 1) / FilesPerFolder));
    const double runIntakeGap = meter.longestMs();
    const double runIntakeWork = meter.longestWorkMs();
    meter.start();
    RunReport report;
    QEventLoop loop;
    QObject::connect(home.session(), &ConversionSession::runFinished, &loop,
                     [&](const RunReport& r) {
                         report = r;
                         loop.quit();
                     });
    clock.restart();
    QTimer::singleShot(0, &home, [&] { home.startConversion(); });
    loop.exec();
    const double runSeconds = clock.nsecsElapsed() / 1e9;
    const double runGap = meter.longestMs();
    const double runWork = meter.longestWorkMs();
    meter.stop();

    std::printf("window_files: %lld\n", static_cast<long long>(listed));
    std::printf("image_size: %dx%d\n", side, side * 3 / 4);
    std::printf("intake_seconds: %.2f\n", intakeSeconds);
    std::printf("intake_longest_event_loop_gap_ms: %.1f (working %.1f)\n", intakeGap, intakeWork);
    std::printf("scroll_seconds: %.2f\n", scrollSeconds);
    std::printf("scroll_longest_event_loop_gap_ms: %.1f (working %.1f)\n", scrollGap, scrollWork);
    std::printf("thumbnail_rows_per_second: %.0f\n", thumbnailRows / scrollSeconds);
    std::printf("window_peak_rss_mb: %ld\n", peakWithList);
    std::printf("run_files: %lld\n", static_cast<long long>(home.session()->jobs()->count()));
    std::printf("run_seconds: %.2f\n", runSeconds);
    std::printf("run_intake_longest_event_loop_gap_ms: %.1f (working %.1f)\n", runIntakeGap,
                runIntakeWork);
    std::printf("run_longest_event_loop_gap_ms: %.1f (working %.1f)\n", runGap, runWork);
    std::printf("longest_event_loop_gap_ms: %.1f\n",
                qMax(qMax(intakeGap, runIntakeGap), qMax(scrollGap, runGap)));
    std::printf("process_peak_rss_mb: %ld\n", peakRssMb());
    return report.converted == runCount ? 0 : 1;
}
