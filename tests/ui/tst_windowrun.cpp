// Runs through the window: what the window shows and refuses while a run goes and after it,
// files held for later, and cancelling (also a tool that ignores SIGTERM). The engine's own
// results are BatchRunTest's.
#include "CompareLauncher.h"
#include "CompareView.h"
#include "CompareWindow.h"
#include "HomeTestKit.h"
#include "ImageMeasures.h"
#include "JobRowDelegate.h"
#include "SizeSummary.h"

#include <QImageReader>

using namespace HomeTestKit;

enum class AimControl { LongestSide, FileSize, Lossless, MinimumSaving };

class WindowRunTest : public QObject, HomeCase {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        useRealTools(QStringLiteral(TESSARO_REAL_TOOLS));
        QVERIFY(startCase(ConvertMode::ImageToWebp, true));
        panels.outputFolder = at("out");
        QVERIFY(QDir().mkpath(panels.outputFolder));
    }
    void cleanup() { home.reset(); }

    // Progress never goes back, converted rows show their result against their source and
    // open its folder, the footer totals the run, the closing alert names the failed file, and
    // the rating invitation follows the launch's second run only.
    void runShowsItsResults() {
        const QStringList sources{image("a.png", {64, 48}), image("b.jpg", {40, 30}),
                                  image("c.png"), TestFiles::writeBytes(at("bad.png"), "bad")};
        QVERIFY(addAndWait(*home, sources));
        QList<qsizetype> progress;
        QObject probe;
        connect(home->session(), &ConversionSession::progressChanged, &probe,
                [&] { progress.append(home->footer()->progressBar()->done()); });
        QVERIFY(runAndWait(*home));
        QVERIFY2(std::is_sorted(progress.cbegin(), progress.cend()) && progress.last() == 4,
                 qPrintable(QString::number(progress.size())));
        qint64 in = 0, out = 0;
        for (int row = 0; row < 3; ++row) {
            const QModelIndex index = home->session()->model()->index(row, 0);
            const QFileInfo result(index.data(JobTableModel::OutputPathRole).toString());
            const qint64 source = QFileInfo(sources[row]).size();
            QCOMPARE(index.data(JobTableModel::ResultTextRole).toString(),
                     SizeSummary::resultText(source, result.size()));
            in += source;
            out += result.size();
        }
        const QString status = home->footer()->statusLabel()->text();
        QVERIFY2(status.contains(SizeSummary::totalsText(in, out)), qPrintable(status));
        QCOMPARE(stateOf(*home, 3), JobState::Failed);
        QVERIFY(home->lastAlert() != nullptr && home->lastAlert()->text().contains(sources[3]));
        JobTableView* table = home->tableView();
        QTest::mouseClick(
            table->viewport(), Qt::LeftButton, {},
            JobRowDelegate::showInFolderRect(table->visualRect(table->model()->index(1, 0)))
                .center());
        QCOMPARE(panels.opened, QList<QUrl>{QUrl::fromLocalFile(panels.outputFolder)});
        // Within a run the figure shown never goes back.
        RunFooter* footer = home->footer();
        footer->showRun(true, 5);
        footer->showProgress(3, 5);
        footer->showProgress(2, 5);
        QCOMPARE(footer->progressBar()->done(), qsizetype(3));
        footer->showRun(false);

        QCOMPARE(panels.ratingRequests, 0);
        QVERIFY(runAndWait(*home));
        QCOMPARE(panels.ratingRequests, 1);
        QVERIFY(runAndWait(*home));
        QCOMPARE(panels.ratingRequests, 1);
    }

    // A converted row opens its comparison (Enter, Space or a double-click), which flips, zooms
    // to 100 %, shows measures the run did not take, steps past a failed row to the next
    // converted one (the list follows) and closes.
    void comparisonFromTheList_data() {
        QTest::addColumn<int>("key"); // 0: a double-click
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Space") << int(Qt::Key_Space);
        QTest::newRow("double-click") << 0;
    }
    void comparisonFromTheList() {
        QFETCH(int, key);
        JobTableModel* model = home->session()->model();
        const QStringList sources{image("a.png", {64, 48}), TestFiles::writeBytes(at("b.png"), "x"),
                                  image("c.jpg", {40, 30})};
        QVERIFY(addAndWait(*home, sources));
        QVERIFY(runAndWait(*home));
        home->lastAlert()->accept(); // the run's alert about b.png holds the window

        JobTableView* table = home->tableView();
        table->setCurrentIndex(model->index(0, 0));
        const QPoint first = table->visualRect(model->index(0, 0)).center();
        if (key != 0) {
            QTest::keyClick(table, Qt::Key(key));
        } else { // a real double-click's events: a click, then the double-click
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, first);
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, first);
        }
        QPointer<CompareWindow> window = home->comparison()->window();
        QVERIFY(window != nullptr);
        QSignalSpy loaded(window, &CompareWindow::pairLoaded);
        QVERIFY(loaded.wait(20000) && loaded.first().first().toBool());
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window->view(), Qt::Key_Space);
        QVERIFY(window->view()->showsResult());
        QTest::keyClick(window->view(), Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(window->view()->zoom(), 1.0);
        const auto measured =
            ImageMeasures::measure(QImage(sources[0]), QImage(window->resultPath()));
        QTRY_VERIFY_WITH_TIMEOUT(
            window->barText().contains(QLocale().toString(measured.ssim, 'f', 3)), 20000);
        QTest::keyClick(window->view(), Qt::Key_Right);
        QVERIFY(loaded.wait(20000));
        QCOMPARE(window->sourcePath(), sources[2]);
        QCOMPARE(table->currentIndex().row(), 2);
        QTest::keyClick(window->view(), Qt::Key_Escape);
        QVERIFY(window == nullptr || !window->isVisible());
    }

    // Files opened with the application while the output folder panel is open or a run goes
    // wait, and are added after the run.
    void filesOpenedMeanwhileAreAddedAfterTheRun() {
        const QString first = image("a.png");
        QVERIFY(addAndWait(*home, {first}));
        panels.holdOutputPanel = true;
        home->footer()->startButton()->click();
        QVERIFY(panels.reply);
        const QStringList opened{image("o1.png"), image("o2.png")};
        home->openFiles({opened[0]});
        QSignalSpy finished(home->session(), &ConversionSession::runFinished);
        panels.reply(panels.outputFolder);
        QVERIFY(home->session()->isRunning());
        home->openFiles({opened[1]});
        QCOMPARE(home->session()->heldIntakeCount(), qsizetype(2));
        QVERIFY(finished.wait(120000));
        QTRY_COMPARE_WITH_TIMEOUT(listed(*home), QStringList{first} + opened, 30000);
        QCOMPARE(stateOf(*home, 0), JobState::Converted);
        QCOMPARE(
            std::ranges::count(home->session()->jobs()->jobs(), JobState::Waiting, &Job::state), 2);
    }

    // While a run goes the list and the options are shut (the footer says why a delete is
    // refused) and a mode stored meanwhile waits; cancelling, by key or button, stops the run,
    // also a tool that ignores SIGTERM, and leaves only complete results.
    void cancelLeavesOnlyCompleteResults_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("tool"); // a fake tool's script; "" for the real tools
        QTest::addColumn<bool>("byKey");
        QTest::newRow("real tools, keys") << 12 << QString() << true;
        QTest::newRow("tool ignoring SIGTERM, button")
            << 1 << QStringLiteral("trap '' TERM; echo $$ > '%1.new'; mv '%1.new' '%1'; sleep 300")
            << false;
    }
    void cancelLeavesOnlyCompleteResults() {
        QFETCH(int, count);
        QFETCH(QString, tool);
        QFETCH(bool, byKey);
        QStringList sources;
        for (int i = 0; i < count; ++i)
            sources.append(image(QStringLiteral("p%1.png").arg(i), {1600, 1200}));
        QVERIFY(addAndWait(*home, sources));
        const QString pidFile = at("tool.pid");
        if (!tool.isEmpty())
            useFakeTools(tool.arg(pidFile));
        QSignalSpy finished(home->session(), &ConversionSession::runFinished);
        QTest::keyClick(home->tableView(), Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(home->session()->isRunning());
        QVERIFY(!home->footer()->startButton()->isEnabled());
        const QString converting = home->footer()->statusLabel()->text();
        if (byKey) {
            QTest::keyClick(home->tableView(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(home->tableView(), Qt::Key_Delete);
        } else {
            home->removeJob(0);
        }
        QCOMPARE(listed(*home), sources);
        QVERIFY(home->footer()->statusLabel()->text() != converting);
        QVERIFY(!home->optionsBar()->optionsButton()->isEnabled());
        home->showOptions();
        QVERIFY(home->optionsWindow() == nullptr);
        Preferences::instance().setMode(ConvertMode::WebpToPng);
        QCOMPARE(home->session()->mode(), ConvertMode::ImageToWebp);

        if (!tool.isEmpty())
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(pidFile), 30000);
        if (byKey)
            QTest::keyClick(home->tableView(), Qt::Key_Escape);
        else
            home->footer()->cancelButton()->click();
        QVERIFY(finished.wait(60000));
        QVERIFY(finished.at(0).at(0).value<RunReport>().cancelled);
        QCOMPARE(home->optionsBar()->modeBox()->mode(), ConvertMode::WebpToPng);
        const auto converted =
            std::ranges::count(home->session()->jobs()->jobs(), JobState::Converted, &Job::state);
        QVERIFY(converted < count);
        const QStringList written = QDir(panels.outputFolder).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(written.size(), converted);
        for (const QString& name : written)
            QCOMPARE(QImage(QDir(panels.outputFolder).filePath(name)).size(), QSize(1600, 1200));
        if (!tool.isEmpty()) {
            QFile pid(pidFile);
            QVERIFY(pid.open(QIODevice::ReadOnly));
            QVERIFY(!TestFiles::processAlive(pid.readAll().trimmed().toLongLong()));
        }
    }
    // What is set in the options window's "Size and quality" group reaches the results, read
    // back from disk: a longest side, a file size, lossless pixels, and a minimum saving that
    // keeps the source (nothing written, the row not failed but saying why, the run counts it).
    void aimsSetInTheOptionsWindowReachTheResults_data() {
        QTest::addColumn<AimControl>("control");
        QTest::addColumn<QString>("typed"); // into its number field
        QTest::newRow("longest side") << AimControl::LongestSide << QStringLiteral("100");
        QTest::newRow("file size") << AimControl::FileSize << QStringLiteral("20");
        QTest::newRow("lossless") << AimControl::Lossless << QString();
        QTest::newRow("minimum saving") << AimControl::MinimumSaving << QStringLiteral("99");
    }
    void aimsSetInTheOptionsWindowReachTheResults() {
        QFETCH(AimControl, control);
        QFETCH(QString, typed);
        const QString source = TestFiles::writePhoto(at("photo.png"));
        QVERIFY(addAndWait(*home, {source}));
        home->showOptions();
        AimOptions* aim = home->optionsWindow()->aimOptions();
        const std::pair<QAbstractButton*, QSpinBox*> controls[] = {
            {aim->limitSide(), aim->longestSide()},
            {aim->fileSizeChoice(), aim->fileSize()},
            {aim->lossless(), nullptr},
            {aim->requireSaving(), aim->minimumSaving()}};
        const auto [button, field] = controls[static_cast<int>(control)];
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
        if (field != nullptr) {
            field->selectAll();
            QTest::keyClicks(field, typed);
        }
        QVERIFY(!home->optionsBar()->aimLine()->isHidden());
        QCOMPARE(aim->fidelityChoice()->isEnabled(), control != AimControl::Lossless);
        QCOMPARE(home->optionsBar()->quality()->slider()->isEnabled(),
                 control == AimControl::LongestSide || control == AimControl::MinimumSaving);
        home->optionsWindow()->reject();
        RunReport report;
        QVERIFY(runAndWait(*home, &report));
        const QStringList written = QDir(panels.outputFolder).entryList(QDir::Files | QDir::Hidden);
        const QModelIndex row = home->session()->model()->index(0, 0);
        QCOMPARE(row.data(JobTableModel::KeptSourceRole).toBool(),
                 control == AimControl::MinimumSaving);
        QCOMPARE(report.notSmaller, qsizetype(control == AimControl::MinimumSaving ? 1 : 0));
        QCOMPARE(written.size(), control == AimControl::MinimumSaving ? 0 : 1);
        // The tool tip, and for a kept source what a screen reader says, tell what it took.
        const QString took = SizeSummary::humanBytes(home->session()->jobs()->at(0).outputBytes);
        QVERIFY(row.data(Qt::ToolTipRole).toString().contains(took));
        QCOMPARE(row.data(Qt::AccessibleTextRole).toString().contains(took),
                 control == AimControl::MinimumSaving);
        const QString result = row.data(JobTableModel::OutputPathRole).toString();
        if (control == AimControl::LongestSide)
            QCOMPARE(QImageReader(result).size(), QSize(100, 75));
        if (control == AimControl::FileSize)
            QVERIFY2(QFileInfo(result).size() <= 20000, qPrintable(result));
        if (control == AimControl::Lossless)
            QCOMPARE(QImage(result).convertToFormat(QImage::Format_RGB32), QImage(source));
    }

    // "Save results": beside each source without a panel ("(1)" when the name is taken),
    // always in the stored folder, or the alert naming a stored folder that is gone. A file
    // in the way is never replaced.
    void saveResultsSetting_data() {
        QTest::addColumn<SaveResults>("place");
        QTest::addColumn<QString>("folder");      // the stored "Always in" folder
        QTest::addColumn<QStringList>("results"); // the jobs' results; none: no run
        QTest::newRow("next to each source")
            << SaveResults::NextToSource << "" << QStringList{"a(1).webp", "s/b.webp"};
        QTest::newRow("always in a folder")
            << SaveResults::Folder << "fixed" << QStringList{"fixed/a.webp", "fixed/b.webp"};
        QTest::newRow("always in a folder that is gone")
            << SaveResults::Folder << "gone" << QStringList();
    }
    void saveResultsSetting() {
        QFETCH(SaveResults, place);
        QFETCH(QString, folder);
        QFETCH(QStringList, results);
        const QString taken = TestFiles::writeBytes(at("a.webp"), "taken");
        QVERIFY(QDir().mkpath(at("fixed")));
        Preferences::instance().setSaveResults(place);
        Preferences::instance().setResultsFolder(at(folder));
        QVERIFY(addAndWait(*home, {image("a.png"), image("s/b.png")}));
        if (results.isEmpty()) {
            home->footer()->startButton()->click();
            QVERIFY(!home->session()->isRunning());
            QVERIFY(home->lastAlert() != nullptr && home->lastAlert()->text().contains(at(folder)));
        } else {
            QVERIFY(runAndWait(*home));
        }
        for (int row = 0; row < results.size(); ++row) {
            QCOMPARE(home->session()->jobs()->at(row).outputPath, at(results[row]));
            QVERIFY(TestFiles::isWebp(at(results[row])));
        }
        QCOMPARE(panels.outputPanels, 0);
        QCOMPARE(TestFiles::head(taken), QByteArray("taken"));
    }

    // A file manager's request converts only its own files, next to them, each by the
    // conversion that takes it (a GIF to animated WebP), while the list's other file and mode
    // stay; asked again for a listed file, it converts it again.
    void requestConvertsOnlyItsFiles() {
        Preferences::instance().setMode(ConvertMode::WebpToJpg);
        const QString other = TestFiles::writeImage(at("o.webp"), "webp", {8, 8});
        QVERIFY(addAndWait(*home, {other}) && QDir().mkpath(at("r")));
        const QStringList asked{TestFiles::writeAnimatedGif(at("r/a.gif")), image("r/b.png")};
        QSignalSpy finished(home->session(), &ConversionSession::runFinished);
        home->convertFiles(asked + QStringList{TestFiles::writeBytes(at("r/c.txt"), "x")},
                           QStringLiteral("webp"));
        QVERIFY(finished.wait(120000));
        QCOMPARE(listed(*home), QStringList{other} + asked);
        QCOMPARE(stateOf(*home, 0), JobState::Waiting);
        QVERIFY(TestFiles::head(at("r/a.webp"), 1 << 16).contains("ANIM"));
        QVERIFY(TestFiles::isWebp(at("r/b.webp")));
        QCOMPARE(home->session()->mode(), ConvertMode::WebpToJpg);
        QCOMPARE(panels.outputPanels, 0);
        home->convertFiles({asked[1]}, QStringLiteral("webp"));
        QVERIFY(finished.wait(120000));
        QVERIFY(TestFiles::isWebp(at("r/b(1).webp")));
    }
};

QTEST_MAIN(WindowRunTest)
#include "tst_windowrun.moc"
