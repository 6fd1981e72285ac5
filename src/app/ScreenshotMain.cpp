// Renders the main window with a few queued files in their different states into a PNG, or
// with "compare" the comparison of the first file, converted for real, with its result.
// Usage: tessaro-screenshot OUTPUT.png [empty|compare]
#include "AppDelegate.h"
#include "AppIdentity.h"
#include "ApplicationLook.h"
#include "CompareLauncher.h"
#include "CompareView.h"
#include "CompareWindow.h"
#include "HomeView.h"
#include "Job.h"
#include "JobList.h"
#include "JobTableModel.h"
#include "JobTableView.h"
#include "MainWindow.h"
#include "ModeBox.h"
#include "Translations.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QImage>
#include <QLinearGradient>
#include <QLocale>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

void writeSample(const QString& path, const QSize& size, QColor from, QColor to) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    painter.fillRect(image.rect(), gradient);
    // A few soft shapes, so thumbnails and the comparison have something to show.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i) {
        painter.setBrush(QColor::fromHsv((from.hue() + 60 * i) % 360, 110, 240, 150));
        const int side = qMin(size.width(), size.height()) / (3 + i % 2);
        painter.drawEllipse(
            QRect(size.width() * (1 + 3 * i) / 17, size.height() * (2 + i) / 9, side, side));
    }
    painter.end();
    image.save(path, nullptr, 92);
}

bool save(const QPixmap& shot, const char* path) {
    if (!shot.save(QString::fromLocal8Bit(path))) {
        std::fprintf(stderr, "cannot write %s\n", path);
        return false;
    }
    std::printf("screenshot: %s\n", path);
    return true;
}

// Converts the listed files into folder, opens a JPEG's comparison in Split and shoots it
// once both images and the measures are in.
int shootComparison(HomeView* home, const QString& folder, const char* out) {
    QDir().mkpath(folder);
    home->chooseOutputDirectory = [folder](QWidget*, const HomeView::FolderReply& reply) {
        reply(folder);
    };
    QEventLoop loop;
    QObject::connect(home->session(), &ConversionSession::runFinished, &loop, &QEventLoop::quit);
    home->startConversion();
    loop.exec();
    // A photo's JPEG shows a real saving; the first one listed.
    int row = 0;
    while (row < home->session()->jobs()->count() && !home->session()->jobs()->at(row).jpegContent)
        ++row;
    if (!home->comparison()->open(row)) {
        std::fprintf(stderr, "the file was not converted\n");
        return 1;
    }
    CompareWindow* window = home->comparison()->window();
    window->resize(1040, 720);
    window->view()->setMode(CompareMode::Split);
    QObject::connect(window, &CompareWindow::pairLoaded, &loop, &QEventLoop::quit);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    loop.exec();
    // The measures are taken on the pool meanwhile; a moment is plenty for these sizes.
    QTimer::singleShot(3000, &loop, &QEventLoop::quit);
    loop.exec();
    return save(window->grab(), out) ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: tessaro-screenshot OUTPUT.png\n");
        return 2;
    }
    applyApplicationIdentity(app);
    Translations::install(app, QLocale().uiLanguages());
    // The desktop's look by default; TESSARO_SCREENSHOT_SCHEME=dark shows the dark one.
    applyApplicationLook(app,
                         qEnvironmentVariable("TESSARO_SCREENSHOT_SCHEME") == QLatin1String("dark")
                             ? ColorScheme::Dark
                             : ColorScheme::Desktop);

    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("Pictures/Summer 2026"));
    QDir().mkpath(base);
    const struct {
        const char* name;
        QSize size;
        QColor from, to;
    } samples[] = {
        {"beach-sunset.png", {1600, 1066}, QColor(0xf4, 0x9b, 0x42), QColor(0x3a, 0x5b, 0xa0)},
        {"harbour-morning.jpg", {2400, 1600}, QColor(0x88, 0xc0, 0xd0), QColor(0x2e, 0x34, 0x40)},
        {"family-portrait.jpg", {1800, 2400}, QColor(0xd0, 0x87, 0x70), QColor(0x4c, 0x56, 0x6a)},
        {"logo-draft.png", {512, 512}, QColor(0xa3, 0xbe, 0x8c), QColor(0x5e, 0x81, 0xac)},
        {"old-town-panorama.jpg", {4000, 1200}, QColor(0xeb, 0xcb, 0x8b), QColor(0xbf, 0x61, 0x6a)},
        {"screenshot-2026-07-14.png",
         {1440, 900},
         QColor(0xe5, 0xe9, 0xf0),
         QColor(0x81, 0xa1, 0xc1)},
    };
    QStringList paths;
    for (const auto& sample : samples) {
        const QString path = base + QLatin1Char('/') + QLatin1String(sample.name);
        writeSample(path, sample.size, sample.from, sample.to);
        paths.append(path);
    }

    MainWindow window;
    AppDelegate delegate(&window);
    window.resize(1040, 720);
    window.show();
    delegate.finishLaunching();
    HomeView* home = window.homeView();
    home->session()->chooseMode(ConvertMode::ImageToWebp);

    QEventLoop loop;
    const bool empty = argc > 2 && qstrcmp(argv[2], "empty") == 0;
    if (empty)
        paths.clear();
    QObject::connect(home->session(), &ConversionSession::intakeFinished, &loop, &QEventLoop::quit);
    home->dragDropViewFileList(paths);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();

    // Every row's thumbnail is in before the shot.
    JobTableModel* model = home->session()->model();
    const auto thumbnailsIn = [model] {
        for (int row = 0; row < model->rowCount(); ++row)
            if (model->index(row, 0).data(JobTableModel::ThumbnailRole).value<QImage>().isNull())
                return false;
        return true;
    };
    QObject::connect(model, &QAbstractItemModel::dataChanged, &loop, [&] {
        if (thumbnailsIn())
            loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    if (!thumbnailsIn())
        loop.exec();
    QObject::disconnect(model, nullptr, &loop, nullptr);

    const bool compare = argc > 2 && qstrcmp(argv[2], "compare") == 0;
    if (compare)
        return shootComparison(home, dir.filePath(QStringLiteral("converted")), argv[1]);

    // Show the states a run goes through: converted, converting, failed, waiting.
    JobList* list = home->session()->jobs();
    const JobState states[] = {JobState::Converted, JobState::Converted, JobState::Converting,
                               JobState::Failed,    JobState::Waiting,   JobState::Waiting};
    for (qsizetype i = 0; i < list->count() && i < qsizetype(std::size(states)); ++i) {
        Job job = list->at(i);
        job.state = states[i];
        list->updateJob(i, job);
    }
    home->tableView()->selectRow(1);

    QTimer::singleShot(400, &loop, &QEventLoop::quit);
    loop.exec();
    return save(window.grab(), argv[1]) ? 0 : 1;
}
