// Runs driven through the window with the real tools: add, start, choose the folder, wait,
// then check the files on disk and the row marks; a failed job, refusals and cancel during a
// run, and the rating invitation after the second run.
#include "BatchRun.h"
#include "HomeViewController.h"
#include "JobList.h"
#include "JobTableModel.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "RunCounter.h"
#include "Settings.h"
#include "SettingsKeys.h"
#include "SizeSummary.h"
#include "TaggedImages.h"
#include "TessaroCell.h"
#include "TestFiles.h"

#include <QApplication>
#include <QImageReader>
#include <QMessageBox>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class WindowRunTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<HomeViewController> home;
    QString outDir;

    QString at(const QString& name) const { return dir->filePath(name); }
    QString image(const QString& name, QSize size = {16, 16}) const {
        return TestFiles::writeImage(at(name), name.endsWith(".jpg") ? "jpeg" : "png", size);
    }
    qint64 state(int row) const {
        return home->tableModel()->index(row, 0).data(JobTableModel::StateRole).toLongLong();
    }
    // Chooses paths in the add-files panel; a folder gives `count` files.
    void addThroughPanel(const QStringList& paths, qsizetype count = -1) {
        const qsizetype before = home->jobList()->count();
        home->chooseFiles = [paths](QWidget*, const QStringList&) { return paths; };
        QSignalSpy done(home.get(), &HomeViewController::intakeFinished);
        home->addFile();
        QVERIFY(done.wait(20000));
        if (count >= 0)
            QCOMPARE(home->jobList()->count(), before + count);
        else
            QCOMPARE(home->jobList()->pathArr().mid(before), paths);
    }
    // Presses the start button and waits for the run's end.
    RunReport runToEnd() {
        QSignalSpy finished(home.get(), &HomeViewController::runFinished);
        QTest::mouseClick(home->submitBtn(), Qt::LeftButton);
        return finished.wait(120000) ? finished.at(0).at(0).value<RunReport>() : RunReport{};
    }

private Q_SLOTS:
    void initTestCase() { qRegisterMetaType<RunReport>(); }
    void init() {
        QSettings().clear();
        RunCounter::resetAtLaunch();
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        QVERIFY(QDir().mkpath(outDir = at("out")) && QDir().mkpath(at("in")));
        Settings::setValue(SettingsKeys::Format, QStringLiteral("2"));
        home = std::make_unique<HomeViewController>();
        home->chooseOutputDirectory = [this](QWidget*, const auto& reply) { reply(outDir); };
        home->resize(1000, 640);
        home->show();
        QVERIFY(QTest::qWaitForWindowExposed(home.get()));
    }
    // Clicks row's "Show in folder" link; returns what was handed to the desktop.
    QUrl clickShowInFolder(int row) {
        QUrl opened;
        home->openUrl = [&](const QUrl& url) { opened = url; };
        const QRect rect = home->tableView()->visualRect(home->tableModel()->index(row, 0));
        QTest::mouseClick(home->tableView()->viewport(), Qt::LeftButton, {},
                          TessaroCell::showInFolderRect(rect).center());
        home->openUrl = nullptr;
        return opened;
    }

    void convertsAndMarksRows() {
        addThroughPanel(
            {image("in/a.png", {64, 48}), image("in/b.jpg", {40, 30}), image("in/c.png")});
        // A cancelled folder panel starts nothing.
        home->chooseOutputDirectory = [](QWidget*, const auto& reply) { reply(QString()); };
        QSignalSpy started(home.get(), &HomeViewController::runStarted);
        QTest::mouseClick(home->submitBtn(), Qt::LeftButton);
        QCOMPARE(started.count(), 0);
        QCOMPARE(state(0), JobState::Waiting);
        home->chooseOutputDirectory = [this](QWidget*, const auto& reply) { reply(outDir); };

        QStringList progress;
        connect(home->batchRun(), &BatchRun::progressChanged, this,
                [&] { progress.append(home->progressBar()->Label()->text()); });
        const RunReport report = runToEnd();
        QCOMPARE(started.count(), 1);
        QVERIFY(!report.failed);
        QCOMPARE(report.converted, qsizetype(3));
        for (const char* name : {"a.webp", "b.webp", "c.webp"})
            QVERIFY2(TestFiles::isWebp(outDir + u'/' + QLatin1String(name)), name);
        QCOMPARE(QImageReader(outDir + QStringLiteral("/a.webp")).size(), QSize(64, 48));
        for (int row = 0; row < 3; ++row)
            QCOMPARE(state(row), JobState::Converted);
        QVERIFY(progress.contains(QStringLiteral("1 of 3")));
        QVERIFY(progress.contains(QStringLiteral("3 of 3")));
        QVERIFY(home->lastAlert() == nullptr); // a clean run ends silently
        QVERIFY(home->submitBtn()->isEnabled() && home->comboBox()->isEnabled());
        QVERIFY(!home->cancelBtn()->isVisible());
        QVERIFY(home->ratingInvitation() == nullptr); // not after the first run

        // Each converted row shows its result against its source and opens its folder; the
        // footer adds the run's totals. The numbers are the files' own sizes on disk.
        qint64 in = 0, out = 0;
        for (int row = 0; row < 3; ++row) {
            const QModelIndex index = home->tableModel()->index(row, 0);
            const qint64 source = QFileInfo(index.data(JobTableModel::PathRole).toString()).size();
            const QFileInfo result(index.data(JobTableModel::OutputPathRole).toString());
            QCOMPARE(result.dir(), QDir(outDir));
            QCOMPARE(index.data(JobTableModel::ResultTextRole).toString(),
                     SizeSummary::resultText(source, result.size()));
            in += source;
            out += result.size();
        }
        QVERIFY2(home->statusLabel()->text().contains(QStringLiteral("3 converted · ") +
                                                      SizeSummary::totalsText(in, out)),
                 qPrintable(home->statusLabel()->text()));
        QCOMPARE(clickShowInFolder(1), QUrl::fromLocalFile(QDir(outDir).absolutePath()));
        QCOMPARE(home->jobList()->count(), 3);

        // The second run (into another folder) converts nothing again and brings the
        // invitation: inside the window, not modal, gone when dismissed.
        QVERIFY(QDir().mkpath(outDir = at("out2")));
        QCOMPARE(runToEnd().converted, qsizetype(0));
        QVERIFY(QDir(outDir).isEmpty());
        QWidget* invitation = home->ratingInvitation();
        QVERIFY(invitation != nullptr && !invitation->isWindow());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QTest::mouseClick(invitation->findChild<QPushButton*>(QStringLiteral("dismissButton")),
                          Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(home->ratingInvitation() == nullptr, 5000);

        // A third run with a file that fails: one alert, the row marked, no invitation.
        addThroughPanel({TestFiles::writeBytes(at("in/bad.png"), "not an image")});
        QSignalSpy alerts(home.get(), &HomeViewController::alertShown);
        const RunReport failed = runToEnd();
        QVERIFY(failed.failed && !failed.closingMessage().isEmpty());
        QCOMPARE(alerts.count(), 1);
        QCOMPARE(alerts.at(0).at(0).toString(), failed.closingMessage());
        // The alert names the file and the tool's reason, as a warning.
        QVERIFY(home->lastAlert()->text().contains(at("in/bad.png")));
        QVERIFY(home->lastAlert()->text().contains(QLatin1String("cwebp")));
        QCOMPARE(home->lastAlert()->icon(), QMessageBox::Warning);
        // A failed row has no result to show.
        QVERIFY(home->tableModel()
                    ->index(3, 0)
                    .data(JobTableModel::ResultTextRole)
                    .toString()
                    .isEmpty());
        QCOMPARE(clickShowInFolder(3), QUrl());
        QCOMPARE(state(3), JobState::Failed);
        QVERIFY(
            home->tableModel()->index(3, 0).data(Qt::ToolTipRole).toString().contains("bad.png"));
        QVERIFY(!QFileInfo::exists(outDir + QStringLiteral("/bad.webp")));
        QVERIFY(home->ratingInvitation() == nullptr); // never again after the second
    }

    // With "Include subfolders" a chosen folder gives its tree and the results land in
    // mirrored folders; with "Skip", a second run into the same folder leaves them alone.
    void subfoldersMirrorAndExistingResultsAreSkipped() {
        Settings::setValue(SettingsKeys::IncludeSubfolders, true);
        QVERIFY(QDir().mkpath(at("in/a/b")));
        image("in/top.png");
        image("in/a/x.png");
        image("in/a/b/y.jpg");
        addThroughPanel({at("in")}, 3);
        QVERIFY(!runToEnd().failed);
        for (const char* name : {"top.webp", "a/x.webp", "a/b/y.webp"})
            QVERIFY2(TestFiles::isWebp(outDir + u'/' + QLatin1String(name)), name);
        Settings::setValue(SettingsKeys::SkipExistingResults, true);
        home->clearFile();
        addThroughPanel({at("in")}, 3);
        const RunReport report = runToEnd();
        QCOMPARE(report.converted, qsizetype(0));
        QCOMPARE(report.skippedExisting, qsizetype(3));
        QVERIFY(!report.failed && home->lastAlert() == nullptr);
        QVERIFY(home->statusLabel()->text().contains("3 skipped (already exist)"));
        QCOMPARE(QDir(outDir + "/a").entryList(QDir::Files), QStringList{"x.webp"});
    }

    // The options window's choices reach the run; the row tells what each result carries.
    void profileAndMetadataChoicesReachTheResults() {
        Settings::setValue(SettingsKeys::KeepMetadata, true);
        const QString tagged = TaggedImages::write(at("in/tagged.jpg"), "jpeg", {});
        addThroughPanel({tagged});
        QVERIFY(!runToEnd().failed);
        const QString result = outDir + QStringLiteral("/tagged.webp");
        QCOMPARE(TaggedImages::profileOf(result), TaggedImages::wideGamutProfile());
        QCOMPARE(TaggedImages::tagValue(result, "Exif.Image.Model"), TaggedImages::CameraModel);
        const QModelIndex row = home->tableModel()->index(0, 0);
        QVERIFY(row.data(Qt::ToolTipRole).toString().contains("Colour profile: kept"));
        QVERIFY(row.data(Qt::ToolTipRole).toString().contains("Metadata: kept"));
        QVERIFY(!row.data(JobTableModel::WarningRole).toBool());

        Settings::setValue(SettingsKeys::KeepColorProfiles, false);
        Settings::setValue(SettingsKeys::KeepMetadata, false);
        home->clearFile();
        addThroughPanel({tagged});
        QVERIFY(QDir().mkpath(outDir = at("stripped")));
        QVERIFY(!runToEnd().failed);
        QCOMPARE(TaggedImages::profileOf(outDir + QStringLiteral("/tagged.webp")), QByteArray());
        QVERIFY(home->tableModel()
                    ->index(0, 0)
                    .data(Qt::ToolTipRole)
                    .toString()
                    .contains("Colour profile: not kept"));
    }

    // Rows converted before count as done at once; the label never goes back from there.
    // The options stay shut during the run, and options stored meanwhile apply afterwards.
    void progressOnlyGrowsAndOptionsWaitForTheRunsEnd() {
        addThroughPanel({image("in/a.png")});
        QVERIFY(!runToEnd().failed);
        addThroughPanel({image("in/b.png", {800, 600})});
        QStringList labels;
        const auto record = [&] { labels.append(home->progressBar()->Label()->text()); };
        connect(home->batchRun(), &BatchRun::progressChanged, this, record);
        connect(home.get(), &HomeViewController::runStarted, this, record);
        QSignalSpy finished(home.get(), &HomeViewController::runFinished);
        QTest::mouseClick(home->submitBtn(), Qt::LeftButton);
        QVERIFY(home->isRunning());

        auto* optionsButton = home->findChild<QPushButton*>(QStringLiteral("optionsButton"));
        QVERIFY(!optionsButton->isEnabled());
        home->showOptions();
        QVERIFY(home->optionsWindow() == nullptr);
        Settings::setValue(SettingsKeys::Format, QStringLiteral("1"));
        NotificationCenter::defaultCenter().post(QLatin1String(NotificationNames::RefreshOptions));
        QCOMPARE(home->convertType(), qint64(2));
        QCOMPARE(home->comboBox()->currentIndex(), 2);

        QVERIFY(finished.wait(60000));
        qsizetype last = 0;
        for (const QString& label : labels) {
            const qsizetype done = label.section(u' ', 0, 0).toLongLong();
            QVERIFY2(done >= last && label.endsWith(QLatin1String(" of 2")),
                     qPrintable(labels.join(u',')));
            last = done;
        }
        QCOMPARE(labels.last(), QStringLiteral("2 of 2"));
        QCOMPARE(home->convertType(), qint64(1));
        QCOMPARE(home->comboBox()->currentIndex(), 1);
        QVERIFY(optionsButton->isEnabled());
    }

    // Files opened with the application while the output folder panel is open wait for
    // the run and are added after it, not lost under the locked list.
    void filesOpenedWhileThePanelIsOpenAreAddedAfterTheRun() {
        addThroughPanel({image("in/a.png")});
        HomeViewController::FolderReply answer;
        home->chooseOutputDirectory = [&](QWidget*, const HomeViewController::FolderReply& reply) {
            answer = reply;
        };
        QTest::mouseClick(home->submitBtn(), Qt::LeftButton);
        QVERIFY(home->isChoosingOutputFolder() && answer);
        const QString opened = image("opened.png");
        NotificationCenter::defaultCenter().post(QLatin1String(NotificationNames::DockDragFile),
                                                 QStringList{opened});
        QCOMPARE(home->heldIntakeCount(), qsizetype(1));
        QSignalSpy finished(home.get(), &HomeViewController::runFinished);
        QSignalSpy added(home.get(), &HomeViewController::intakeFinished);
        answer(outDir);
        QVERIFY(home->isRunning());
        QVERIFY(finished.wait(60000));
        QVERIFY(added.count() == 1 || added.wait(20000));
        QCOMPARE(home->jobList()->pathArr(), (QStringList{at("in/a.png"), opened}));
        QCOMPARE(state(0), JobState::Converted);
        QCOMPARE(state(1), JobState::Waiting);

        // A cancelled panel lets held files in at once.
        QTest::mouseClick(home->submitBtn(), Qt::LeftButton);
        const QString another = image("another.png");
        NotificationCenter::defaultCenter().post(QLatin1String(NotificationNames::DockDragFile),
                                                 QStringList{another});
        answer(QString());
        QVERIFY(added.wait(20000));
        QCOMPARE(home->jobList()->pathArr().last(), another);
    }

    void listIsLockedWhileRunningAndCancelKeepsOnlyCompleteFiles() {
        QStringList sources;
        for (int i = 0; i < 12; ++i)
            sources.append(image(QStringLiteral("in/p%1.png").arg(i), {1600, 1200}));
        addThroughPanel(sources);
        const QString late = image("late.png");
        QSignalSpy finished(home.get(), &HomeViewController::runFinished);
        QTest::mouseClick(home->submitBtn(), Qt::LeftButton);
        QVERIFY(home->isRunning());
        QVERIFY(!home->submitBtn()->isEnabled() && !home->comboBox()->isEnabled());
        QVERIFY(home->cancelBtn()->isVisible() && home->progressBar()->isVisible());

        int panelShown = 0;
        home->chooseFiles = [&](QWidget*, const QStringList&) {
            ++panelShown;
            return QStringList{late};
        };
        home->addFile();
        home->dragDropViewFileList({late});
        home->removeJob(0);
        // Files opened with the application meanwhile wait for the run's end.
        const QString opened = image("opened.png");
        NotificationCenter::defaultCenter().post(QLatin1String(NotificationNames::DockDragFile),
                                                 QStringList{opened});
        home->submitBtn()->setEnabled(true); // even a stray enabled button cannot clear
        home->clearFile();
        home->submitBtn()->setEnabled(false);
        QCOMPARE(panelShown, 0);
        QCOMPARE(home->jobList()->pathArr(), sources);

        QTest::mouseClick(home->cancelBtn(), Qt::LeftButton);
        QVERIFY(finished.wait(60000));
        QVERIFY(finished.at(0).at(0).value<RunReport>().cancelled);
        QVERIFY(home->lastAlert() == nullptr); // a cancelled run shows no failure alert
        QVERIFY(!home->isRunning());
        // Whatever reached the folder is complete; jobs not converted are waiting again.
        int converted = 0;
        for (int row = 0; row < 12; ++row) {
            QVERIFY(state(row) == JobState::Converted || state(row) == JobState::Waiting);
            converted += state(row) == JobState::Converted ? 1 : 0;
        }
        QVERIFY(converted < 12);
        const QStringList written = QDir(outDir).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(written.size(), converted);
        for (const QString& name : written) { // magic bytes and a full decode
            const QString path = outDir + u'/' + name;
            QVERIFY2(TestFiles::isWebp(path) && QImage(path).size() == QSize(1600, 1200),
                     qPrintable(name));
        }
        QTRY_COMPARE_WITH_TIMEOUT(home->jobList()->count(), 13, 10000);
        QCOMPARE(home->jobList()->pathArr().last(), opened);
        QTRY_VERIFY_WITH_TIMEOUT(home->submitBtn()->isEnabled(), 5000);
        home->dragDropViewFileList({late}); // the list takes files again
        QTRY_COMPARE_WITH_TIMEOUT(home->jobList()->count(), 14, 10000);
    }
};

QTEST_MAIN(WindowRunTest)
#include "tst_windowrun.moc"
