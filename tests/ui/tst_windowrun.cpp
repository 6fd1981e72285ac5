// Full runs driven through the window with the real tools: add, start, choose the folder,
// wait, then check the files on disk and the row marks; failures, cancel, refusals while
// running, and the rating invitation after the second run.
#include "BatchRun.h"
#include "HomeViewController.h"
#include "JobList.h"
#include "JobTableModel.h"
#include "RunCounter.h"
#include "Settings.h"
#include "SettingsKeys.h"
#include "TestImages.h"

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

    void addThroughPanel(const QStringList& paths) {
        home->chooseFiles = [paths](QWidget*, const QStringList&) { return paths; };
        QSignalSpy done(home.get(), &HomeViewController::intakeFinished);
        home->addFile();
        QVERIFY(done.wait(20000));
    }

    // Presses the start button and waits for the run's end.
    RunReport runToEnd() {
        QSignalSpy finished(home.get(), &HomeViewController::runFinished);
        QTest::mouseClick(home->submitBtn(), Qt::LeftButton);
        if (!finished.wait(120000))
            return {};
        return finished.at(0).at(0).value<RunReport>();
    }

    static QByteArray head(const QString& path, int n) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.read(n) : QByteArray();
    }

    static bool isWebp(const QString& path) {
        const QByteArray bytes = head(path, 12);
        return bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WEBP";
    }

private Q_SLOTS:
    void initTestCase() {
        QCoreApplication::setOrganizationName(QStringLiteral("tessaro-tests"));
        QCoreApplication::setApplicationName(QStringLiteral("tst_windowrun"));
        qRegisterMetaType<RunReport>();
    }

    void init() {
        QSettings().clear();
        RunCounter::resetAtLaunch();
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        outDir = at(QStringLiteral("out"));
        QVERIFY(QDir().mkpath(outDir));
        Settings::setValue(SettingsKeys::Format, QStringLiteral("2"));
        home = std::make_unique<HomeViewController>();
        home->chooseOutputDirectory = [this](QWidget*) { return outDir; };
        home->resize(900, 600);
        home->show();
        QVERIFY(QTest::qWaitForWindowExposed(home.get()));
    }

    void cleanup() {
        home.reset();
        dir.reset();
    }

    void convertsAndMarksRows() {
        const QStringList sources{TestImages::write(at(QStringLiteral("in/a.png")), 64, 48),
                                  TestImages::write(at(QStringLiteral("in/b.jpg")), 40, 30),
                                  TestImages::write(at(QStringLiteral("in/c.png")), 16, 16)};
        addThroughPanel(sources);
        QCOMPARE(home->jobList()->count(), 3);
        QVERIFY(home->submitBtn()->isEnabled());
        QSignalSpy started(home.get(), &HomeViewController::runStarted);
        const RunReport report = runToEnd();
        QCOMPARE(started.count(), 1);
        QVERIFY(!report.failed);
        QCOMPARE(report.converted, qsizetype(3));
        for (const char* name : {"a.webp", "b.webp", "c.webp"}) {
            const QString out = outDir + u'/' + QLatin1String(name);
            QVERIFY2(isWebp(out), qPrintable(out));
        }
        QCOMPARE(QImageReader(outDir + QStringLiteral("/a.webp")).size(), QSize(64, 48));
        for (int row = 0; row < 3; ++row)
            QCOMPARE(home->tableModel()->index(row, 0).data(JobTableModel::StateRole).toLongLong(),
                     JobState::Converted);
        QVERIFY(home->lastAlert() == nullptr); // a clean run ends silently
        QVERIFY(home->submitBtn()->isEnabled());
        QVERIFY(!home->cancelBtn()->isVisible());
        QVERIFY(home->comboBox()->isEnabled());
        QCOMPARE(Settings::integerValue(SettingsKeys::ConvertCount), qint64(1));

        // A second run into another folder converts nothing again.
        outDir = at(QStringLiteral("out2"));
        QVERIFY(QDir().mkpath(outDir));
        const RunReport again = runToEnd();
        QCOMPARE(again.converted, qsizetype(0));
        QVERIFY(QDir(outDir).isEmpty());
        // The second run of a launch brings the rating invitation: inside the window, not a
        // modal box, and gone when dismissed.
        QWidget* invitation = home->ratingInvitation();
        QVERIFY(invitation != nullptr);
        QVERIFY(!invitation->isWindow());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QTest::mouseClick(invitation->findChild<QPushButton*>(QStringLiteral("dismissButton")),
                          Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(home->ratingInvitation() == nullptr, 5000);
        // The third run does not bring it back.
        runToEnd();
        QVERIFY(home->ratingInvitation() == nullptr);
    }

    void cancelledPanelChangesNothing() {
        addThroughPanel({TestImages::write(at(QStringLiteral("in/a.png")), 16, 16)});
        home->chooseOutputDirectory = [](QWidget*) { return QString(); };
        QSignalSpy started(home.get(), &HomeViewController::runStarted);
        QTest::mouseClick(home->submitBtn(), Qt::LeftButton);
        QCOMPARE(started.count(), 0);
        QVERIFY(home->submitBtn()->isEnabled());
        QCOMPARE(home->jobList()->at(0).completed, JobState::Waiting);
        QCOMPARE(Settings::integerValue(SettingsKeys::ConvertCount), qint64(0));
    }

    void failedJobEndsWithOneAlert() {
        const QString good = TestImages::write(at(QStringLiteral("in/good.png")), 16, 16);
        const QString bad =
            TestImages::writeBytes(at(QStringLiteral("in/bad.png")), "not an image at all");
        addThroughPanel({good, bad});
        QSignalSpy alerts(home.get(), &HomeViewController::alertShown);
        const RunReport report = runToEnd();
        QVERIFY(report.failed);
        QCOMPARE(alerts.count(), 1);
        QCOMPARE(alerts.at(0).at(0).toString(), report.closingMessage());
        QVERIFY(!report.closingMessage().isEmpty());
        QCOMPARE(home->tableModel()->index(0, 0).data(JobTableModel::StateRole).toLongLong(),
                 JobState::Converted);
        QCOMPARE(home->tableModel()->index(1, 0).data(JobTableModel::StateRole).toLongLong(),
                 JobState::Failed);
        QVERIFY(isWebp(outDir + QStringLiteral("/good.webp")));
        // The failed row tells why, naming the file.
        QVERIFY(home->tableModel()
                    ->index(1, 0)
                    .data(Qt::ToolTipRole)
                    .toString()
                    .contains(QStringLiteral("bad.png")));
        QVERIFY(!QFileInfo::exists(outDir + QStringLiteral("/bad.webp")));
        QVERIFY(home->ratingInvitation() == nullptr); // first run of the launch
    }

    void listIsLockedWhileRunningAndCancelStops() {
        QStringList sources;
        for (int i = 0; i < 12; ++i)
            sources.append(TestImages::write(at(QStringLiteral("in/p%1.png").arg(i)), 1600, 1200));
        addThroughPanel(sources);
        const QString late = TestImages::write(at(QStringLiteral("late.png")), 16, 16);

        QSignalSpy finished(home.get(), &HomeViewController::runFinished);
        QTest::mouseClick(home->submitBtn(), Qt::LeftButton);
        QVERIFY(home->isRunning());
        QVERIFY(!home->submitBtn()->isEnabled());
        QVERIFY(home->cancelBtn()->isVisible());
        QVERIFY(home->progressBar()->isVisible());
        QVERIFY(!home->comboBox()->isEnabled());

        // Nothing changes the list during the run.
        int panelShown = 0;
        home->chooseFiles = [&](QWidget*, const QStringList&) {
            ++panelShown;
            return QStringList{late};
        };
        home->addFile();
        home->dragDropViewFileList({late});
        home->deleteImag(0);
        home->submitBtn()->setEnabled(true); // even a stray enabled button cannot clear
        home->clearFile();
        home->submitBtn()->setEnabled(false);
        QCOMPARE(panelShown, 0);
        QCOMPARE(home->jobList()->count(), 12);

        QTest::mouseClick(home->cancelBtn(), Qt::LeftButton);
        QVERIFY(finished.wait(60000));
        const RunReport report = finished.at(0).at(0).value<RunReport>();
        QVERIFY(report.cancelled);
        QVERIFY(home->lastAlert() == nullptr); // a cancelled run shows no failure alert
        QVERIFY(!home->isRunning());
        QVERIFY(home->submitBtn()->isEnabled());
        QVERIFY(home->comboBox()->isEnabled());
        // Whatever reached the folder is complete; jobs not converted are waiting again.
        int converted = 0;
        for (int row = 0; row < 12; ++row) {
            const qint64 state = home->jobList()->at(row).completed;
            QVERIFY(state == JobState::Converted || state == JobState::Waiting);
            converted += state == JobState::Converted ? 1 : 0;
        }
        QVERIFY(converted < 12);
        const QStringList written = QDir(outDir).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(written.size(), converted);
        for (const QString& name : written)
            QVERIFY2(isWebp(outDir + u'/' + name), qPrintable(name));
        // Afterwards the list takes files again.
        home->dragDropViewFileList({late});
        QTRY_COMPARE_WITH_TIMEOUT(home->jobList()->count(), 13, 10000);
    }

    void progressShowsDoneOfTotal() {
        addThroughPanel({TestImages::write(at(QStringLiteral("in/a.png")), 32, 32),
                         TestImages::write(at(QStringLiteral("in/b.png")), 32, 32)});
        QStringList labels;
        connect(home->batchRun(), &BatchRun::progressChanged, this,
                [&] { labels.append(home->progressBar()->Label()->text()); });
        const RunReport report = runToEnd();
        QVERIFY(!report.failed);
        QVERIFY(labels.contains(QStringLiteral("2 of 2")));
        QVERIFY(labels.contains(QStringLiteral("1 of 2")));
    }
};

QTEST_MAIN(WindowRunTest)
#include "tst_windowrun.moc"
