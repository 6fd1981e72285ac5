// bench/intake: drops a folder of COUNT small real images on the window's drop view and
// times the intake until the rows are in the table; then times, as the baseline, a size test
// that decodes every image. Prints "name: value" lines.
#include "DragDropView.h"
#include "FileIntake.h"
#include "HomeView.h"
#include "JobList.h"
#include "ModeBox.h"
#include "ui_bench_support.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QDropEvent>
#include <QEventLoop>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("tessaro-bench"));
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    const int side = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 320;
    if (count <= 0 || side <= 0) {
        std::fprintf(stderr, "usage: tessaro-bench-intake [COUNT [SIDE]]\n");
        return 2;
    }

    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("photos"));
    QDir().mkpath(folder);
    // A handful of distinct photo-like JPEGs, copied COUNT times.
    QList<QByteArray> variants;
    for (quint32 seed = 1; seed <= 8; ++seed) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        UiBench::photoLike(side, side * 3 / 4, seed).save(&buffer, "JPEG", 85);
        variants.append(bytes);
    }
    for (int i = 0; i < count; ++i) {
        QFile file(folder + QStringLiteral("/photo%1.jpg").arg(i, 5, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly) || file.write(variants.at(i % variants.size())) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }

    HomeView home;
    home.resize(1000, 700);
    home.show();
    home.session()->chooseMode(ConvertMode::ImageToWebp);

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(folder)});
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, {});
    QEventLoop loop;
    QObject::connect(home.session(), &ConversionSession::intakeFinished, &loop, &QEventLoop::quit);
    UiBench::StallMeter meter;
    meter.start();
    QElapsedTimer clock;
    clock.start();
    // As a real drag does: enter first, then the drop.
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(home.dropView(), &enter);
    QCoreApplication::sendEvent(home.dropView(), &drop);
    if (!drop.isAccepted()) {
        std::fprintf(stderr, "the drop view refused the drop\n");
        return 1;
    }
    loop.exec();
    QCoreApplication::processEvents(); // the table's repaint belongs to the intake
    const double intakeSeconds = clock.nsecsElapsed() / 1e9;
    meter.stop();
    if (home.session()->jobs()->count() != qMin<qint64>(count, FileIntake::ListLimit)) {
        std::fprintf(stderr, "intake took %lld of %d files\n",
                     static_cast<long long>(home.session()->jobs()->count()), count);
        return 1;
    }

    // Baseline: the same size test done by decoding every image.
    clock.restart();
    int accepted = 0;
    QDirIterator it(folder, QDir::Files);
    while (it.hasNext()) {
        const QImage image(it.next());
        accepted += (image.width() <= MaxImageSide && image.height() <= MaxImageSide) ? 1 : 0;
    }
    const double baselineSeconds = clock.nsecsElapsed() / 1e9;

    std::printf("intake_files: %d\n", count);
    std::printf("intake_image_size: %dx%d\n", side, side * 3 / 4);
    std::printf("intake_seconds: %.3f\n", intakeSeconds);
    std::printf("decode_baseline_seconds: %.3f\n", baselineSeconds);
    std::printf("intake_vs_baseline: %.3f\n", intakeSeconds / baselineSeconds);
    std::printf("intake_longest_event_loop_stall_ms: %.1f\n", meter.longestMs());
    std::printf("baseline_accepted: %d\n", accepted);
    return 0;
}
