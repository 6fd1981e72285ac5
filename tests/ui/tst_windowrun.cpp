// Runs driven through the window with the real tools: add, start, choose the folder, wait,
// then check the files on disk and the row marks; a failed job, refusals and cancel during a
// run, and the rating invitation after the second run.
#include "BatchRun.h"
#include "HomeViewController.h"
#include "JobList.h"
#include "JobTableModel.h"
#include "RunCounter.h"
#include "Settings.h"
#include "SettingsKeys.h"
#include "TaggedImages.h"
#include "TestFiles.h"

#include <QApplication>
#include <QImageReader>
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
    void addThroughPanel(const QStringList& paths) {
        const qsizetype before = home->jobList()->count();
        home->chooseFiles = [paths](QWidget*, const QStringList&) { return paths; };
        QSignalSpy done(home.get(), &HomeViewController::intakeFinished);
        home->addFile();
        QVERIFY(done.wait(20000));
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
        home->chooseOutputDirectory = [this](QWidget*) { return outDir; };
        home->show();
        QVERIFY(QTest::qWaitForWindowExposed(home.get()));
    }

    void convertsAndMarksRows() {
        addThroughPanel(
            {image("in/a.png", {64, 48}), image("in/b.jpg", {40, 30}), image("in/c.png")});
        // A cancelled folder panel starts nothing.
        home->chooseOutputDirectory = [](QWidget*) { return QString(); };
        QSignalSpy started(home.get(), &HomeViewController::runStarted);
        QTest::mouseClick(home->submitBtn(), Qt::LeftButton);
        QCOMPARE(started.count(), 0);
        QCOMPARE(state(0), JobState::Waiting);
        home->chooseOutputDirectory = [this](QWidget*) { return outDir; };

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
        auto addFolder = [this] {
            home->chooseFiles = [this](QWidget*, const QStringList&) {
                return QStringList{at("in")};
            };
            QSignalSpy done(home.get(), &HomeViewController::intakeFinished);
            home->addFile();
            QVERIFY(done.wait(20000));
            QCOMPARE(home->jobList()->count(), 3);
        };
        addFolder();
        QVERIFY(!runToEnd().failed);
        for (const char* name : {"top.webp", "a/x.webp", "a/b/y.webp"})
            QVERIFY2(TestFiles::isWebp(outDir + u'/' + QLatin1String(name)), name);
        Settings::setValue(SettingsKeys::SkipExistingResults, true);
        home->clearFile();
        addFolder();
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
        home->submitBtn()->setEnabled(true); // even a stray enabled button cannot clear
        home->clearFile();
        home->submitBtn()->setEnabled(false);
        QCOMPARE(panelShown, 0);
        QCOMPARE(home->jobList()->pathArr(), sources);

        QTest::mouseClick(home->cancelBtn(), Qt::LeftButton);
        QVERIFY(finished.wait(60000));
        QVERIFY(finished.at(0).at(0).value<RunReport>().cancelled);
        QVERIFY(home->lastAlert() == nullptr); // a cancelled run shows no failure alert
        QVERIFY(!home->isRunning() && home->submitBtn()->isEnabled());
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
        home->dragDropViewFileList({late}); // the list takes files again
        QTRY_COMPARE_WITH_TIMEOUT(home->jobList()->count(), 13, 10000);
    }
};

QTEST_MAIN(WindowRunTest)
#include "tst_windowrun.moc"
