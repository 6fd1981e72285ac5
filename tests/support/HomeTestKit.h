#pragma once
// Header only: the window's tests link the window, the support library does not.
#include "HomeView.h"
#include "JobList.h"
#include "JobTableModel.h"
#include "Preferences.h"
#include "TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The home view as the window's tests drive it: panels answered by the test, intakes and runs
// awaited with bounds, and the folder the window takes its tools from.
namespace HomeTestKit {

// What the panels are asked and answer.
struct Panels {
    QStringList files;            // the open panel's choice
    QStringList offered;          // the file types it was asked to offer
    QString outputFolder;         // the output folder panel's answer; "" cancels
    bool holdOutputPanel = false; // leave that panel open: `reply` answers it later
    HomeView::FolderReply reply;
    int outputPanels = 0;
    int ratingRequests = 0;
    QList<QUrl> opened; // what was handed to the desktop
};

// What each case of a window test starts from: a temporary folder, an empty store holding a
// mode, and a fresh home view whose panels are `panels`.
class HomeCase {
protected:
    std::unique_ptr<QTemporaryDir> dir;
    Panels panels;
    std::unique_ptr<HomeView> home;

    // True when the view is ready (shown and active when asked).
    bool startCase(ConvertMode mode, bool shown) {
        dir = std::make_unique<QTemporaryDir>();
        panels = {};
        QSettings().clear();
        Preferences::instance().setMode(mode);
        home = std::make_unique<HomeView>();
        home->chooseFiles = [this](QWidget*, const QStringList& types) {
            panels.offered = types;
            return panels.files;
        };
        home->chooseOutputDirectory = [this](QWidget*, const HomeView::FolderReply& reply) {
            ++panels.outputPanels;
            panels.holdOutputPanel ? void(panels.reply = reply) : reply(panels.outputFolder);
        };
        home->showRatingRequest = [this] { ++panels.ratingRequests; };
        home->openUrl = [this](const QUrl& url) { panels.opened.append(url); };
        home->resize(1000, 640);
        if (!shown)
            return dir->isValid();
        home->show();
        QApplication::setActiveWindow(home.get());
        return dir->isValid() && QTest::qWaitForWindowActive(home.get());
    }
    QString at(const QString& name) const { return QDir::cleanPath(dir->filePath(name)); }
    // A small real image: JPEG for a name ending in ".jpg", PNG otherwise.
    QString image(const QString& name, QSize size = {16, 16}) const {
        QDir().mkpath(QFileInfo(at(name)).path());
        return TestFiles::writeImage(at(name), name.endsWith(u".jpg") ? "jpeg" : "png", size);
    }
};

// Drops paths on the view and waits for the intake (true when it ended in time).
inline bool addAndWait(HomeView& home, const QStringList& paths) {
    QSignalSpy done(home.session(), &ConversionSession::intakeFinished);
    home.dragDropViewFileList(paths);
    return !done.isEmpty() || done.wait(30000);
}

// Presses the start button and waits for the run's end (true when it ended in time).
inline bool runAndWait(HomeView& home, RunReport* report = nullptr) {
    QSignalSpy finished(home.session(), &ConversionSession::runFinished);
    home.footer()->startButton()->click();
    if (finished.isEmpty() && !finished.wait(120000))
        return false;
    if (report != nullptr)
        *report = finished.at(0).at(0).value<RunReport>();
    return true;
}

inline JobState stateOf(const HomeView& home, int row) {
    return home.session()->jobs()->at(row).state;
}

// The listed paths, in the list's order.
inline QStringList listed(const HomeView& home) {
    QStringList paths;
    for (const Job& job : home.session()->jobs()->jobs())
        paths.append(job.path);
    return paths;
}

// Picks mode in a conversion box as the user does.
inline void choose(ModeBox* box, ConvertMode mode) {
    const int index = box->findData(QVariant::fromValue(mode));
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
}

// The window's runs take their tools from beside the program, as the application does. A test
// program built into a folder of its own (see tests/ui/CMakeLists.txt) owns that folder and
// fills it with links to the real tools or with a fake script.
inline QString windowToolsFolder() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/tessaro-pro/tools"));
}

inline void useRealTools(const QString& realFolder) {
    QDir folder(windowToolsFolder());
    folder.removeRecursively();
    folder.mkpath(QStringLiteral("."));
    for (const QString& name : QDir(realFolder).entryList(QDir::Files))
        QFile::link(QDir(realFolder).filePath(name), folder.filePath(name));
}

inline void useFakeTools(const QString& scriptBody) {
    QDir(windowToolsFolder()).removeRecursively(); // never write through a link to a real tool
    TestFiles::writeFakeTools(windowToolsFolder(), scriptBody);
}

} // namespace HomeTestKit
