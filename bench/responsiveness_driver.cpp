// bench/responsiveness: a run of COUNT photo-like images started from the window; prints the
// longest gap between two event-loop ticks while it converts, as "name: value" lines.
#include "HomeView.h"
#include "JobList.h"
#include "ModeBox.h"
#include "RunReport.h"
#include "ui_bench_support.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("tessaro-bench"));
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 200;
    const int width = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 1600;
    if (count <= 0 || width <= 0) {
        std::fprintf(stderr, "usage: tessaro-bench-responsiveness [COUNT [WIDTH]]\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in"));
    const QString out = dir.filePath(QStringLiteral("out"));
    QDir().mkpath(in);
    QDir().mkpath(out);
    // Half PNG, half JPEG: the JPEGs go through the in-process normalisation first.
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const bool jpeg = i % 2 == 1;
        const QString path =
            in +
            QStringLiteral("/img%1.%2").arg(i, 4, 10, QLatin1Char('0')).arg(jpeg ? "jpg" : "png");
        if (!UiBench::photoLike(width, width * 3 / 4, quint32(i + 1))
                 .save(path, nullptr, jpeg ? 88 : -1)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        paths.append(path);
    }

    HomeView home;
    home.resize(1000, 700);
    home.show();
    home.session()->chooseMode(ConvertMode::ImageToWebp);
    home.chooseOutputDirectory = [out](QWidget*, const auto& reply) { reply(out); };
    home.showRatingRequest = [] {};

    QEventLoop loop;
    QObject::connect(home.session(), &ConversionSession::intakeFinished, &loop, &QEventLoop::quit);
    home.dragDropViewFileList(paths);
    loop.exec();
    if (home.session()->jobs()->count() != count) {
        std::fprintf(stderr, "only %lld of %d files were taken\n",
                     static_cast<long long>(home.session()->jobs()->count()), count);
        return 1;
    }

    RunReport report;
    QObject::disconnect(home.session(), nullptr, &loop, nullptr);
    QObject::connect(home.session(), &ConversionSession::runFinished, &loop,
                     [&](const RunReport& r) {
                         report = r;
                         loop.quit();
                     });
    UiBench::StallMeter meter;
    QElapsedTimer clock;
    // Start from inside the event loop, as a click would.
    QTimer::singleShot(0, &home, [&] {
        meter.start();
        clock.start();
        home.startConversion();
    });
    loop.exec();
    meter.stop();
    const double seconds = clock.nsecsElapsed() / 1e9;
    const int written = int(QDir(out).entryList(QDir::Files).size());

    std::printf("run_images: %d\n", count);
    std::printf("run_image_size: %dx%d\n", width, width * 3 / 4);
    std::printf("run_seconds: %.2f\n", seconds);
    std::printf("run_converted: %lld\n", static_cast<long long>(report.converted));
    std::printf("run_files_written: %d\n", written);
    std::printf("event_loop_ticks: %lld\n", static_cast<long long>(meter.ticks()));
    std::printf("longest_event_loop_gap_ms: %.1f\n", meter.longestMs());
    return report.failed() ? 1 : 0;
}
