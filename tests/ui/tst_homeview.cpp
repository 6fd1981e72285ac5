// The home view as a user drives it: start-up, intake and its limits, the drop view, row
// sizes and deletion, and the options rules.
#include "AlertSheet.h"
#include "HomeViewController.h"
#include "JobList.h"
#include "JobTableModel.h"
#include "OptionsWindow.h"
#include "Settings.h"
#include "SettingsKeys.h"
#include "TessaroCell.h"
#include "TestFiles.h"

#include <QMimeData>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <fcntl.h>
#include <memory>
#include <unistd.h>

class HomeViewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<HomeViewController> home;

    QString at(const QString& name) const { return QDir::cleanPath(dir->filePath(name)); }
    QStringList paths(const QString& names) const { // space-separated
        QStringList result;
        for (const QString& name : names.split(u' ', Qt::SkipEmptyParts))
            result.append(at(name));
        return result;
    }
    // Small real images; a name ending in '/' makes a folder.
    QStringList make(const QString& names) const {
        for (const QString& name : names.split(u' ', Qt::SkipEmptyParts)) {
            QDir().mkpath(name.endsWith(u'/') ? at(name) : QFileInfo(at(name)).path());
            if (!name.endsWith(u'/'))
                TestFiles::writeImage(at(name), "png", {8, 8});
        }
        return paths(names);
    }
    QStringList listed() const { return home->jobList()->pathArr(); }

    void newHome() {
        home.reset();
        home = std::make_unique<HomeViewController>();
        home->resize(900, 640);
    }
    // Drops paths and waits until the intake has been applied.
    bool drop(const QStringList& paths) {
        QSignalSpy done(home.get(), &HomeViewController::intakeFinished);
        home->dragDropViewFileList(paths);
        return done.wait(30000);
    }
    void setMode(int mode) {
        home->comboBox()->setCurrentIndex(mode);
        Q_EMIT home->comboBox()->activated(mode);
        QCOMPARE(home->convertType(), qint64(mode));
    }

private Q_SLOTS:
    void init() {
        QSettings().clear();
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        newHome();
    }

    void startUpState_data() {
        QTest::addColumn<QString>("format"); // stored; a null string stores nothing
        QTest::addColumn<QString>("ratio");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("percent");
        QTest::newRow("empty store") << QString() << QString() << 0 << 90;
        // Stored ratios and their truncation: sliderPersists.
        QTest::newRow("ratio text") << QString("3") << QString("abc") << 3 << 90;
        QTest::newRow("mode 1") << QString("1") << QString("0.5") << 1 << 50;
        QTest::newRow("format 7") << QString("7") << QString("0.5") << 0 << 50;
    }
    void startUpState() {
        QFETCH(QString, format);
        QFETCH(QString, ratio);
        QFETCH(int, mode);
        QFETCH(int, percent);
        if (!format.isNull())
            Settings::setValue(SettingsKeys::Format, format);
        if (!ratio.isNull())
            Settings::setValue(SettingsKeys::CompressionRatio, ratio);
        QWidget window;
        auto* view = new HomeViewController(&window);
        QCOMPARE(window.windowTitle(), QStringLiteral("Tessaro Pro"));
        QVERIFY(!view->submitBtn()->isEnabled());
        QCOMPARE(view->comboBox()->count(), 4);
        QCOMPARE(view->comboBox()->currentIndex(), mode);
        QCOMPARE(view->convertType(), qint64(mode));
        QCOMPARE(view->ratioText()->text(), QString::number(percent) + u'%');
        QCOMPARE(view->ratioSlider()->value(), percent * 10);
        QCOMPARE(view->ratio(), double(percent));
        // Only read, never rewritten.
        QCOMPARE(Settings::value(SettingsKeys::CompressionRatio).toString(), ratio);
    }

    void dropIntake_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("dropped");  // real files, dropped in this order
        QTest::addColumn<QString>("expected"); // listed afterwards, in this order
        QTest::newRow("unaccepted skipped, rest kept")
            << 0 << QString("a.webp n.txt b.webp") << QString("a.webp b.webp");
        QTest::newRow("webp case")
            << 1 << QString("z.Webp x.webp w.png y.WEBP") << QString("x.webp y.WEBP");
        QTest::newRow("jpg/png spellings")
            << 2 << QString("p.png q.JPG r.jpeg s.JPEG t.Jpg u.webp v.PNG")
            << QString("p.png q.JPG r.jpeg s.JPEG v.PNG");
        QTest::newRow("gif case") << 3 << QString("c.png a.gif d.Gif b.GIF")
                                  << QString("a.gif b.GIF");
        QTest::newRow("duplicates")
            << 0 << QString("a.webp a.webp b.webp a.webp") << QString("a.webp b.webp");
        QTest::newRow("same name elsewhere")
            << 0 << QString("a.webp o/a.webp") << QString("a.webp o/a.webp");
        QTest::newRow("nothing") << 0 << QString() << QString();
    }
    void dropIntake() {
        QFETCH(int, mode);
        QFETCH(QString, dropped);
        QFETCH(QString, expected);
        setMode(mode);
        for (int twice = 0; twice < 2; ++twice) { // listed files are not taken again
            QVERIFY(drop(make(dropped)));
            QCOMPARE(listed(), paths(expected));
        }
        QCOMPARE(home->tableModel()->rowCount(), paths(expected).size());
        QCOMPARE(home->submitBtn()->isEnabled(), !expected.isEmpty());
        QVERIFY(home->lastAlert() == nullptr);
    }

    void folderExpandsInPlaceInListingOrderWithoutSubfolders() {
        make("b.webp z.webp f/x.webp f/y.WEBP f/z.Webp f/w.png f/.h.webp f/s.webp/deep.webp "
             "f/s.gif/");
        QVERIFY(drop(paths("b.webp f z.webp")));
        QStringList scan = HomeViewController::getDirFileWithExtType(0, at("f"));
        QCOMPARE(listed(), paths("b.webp") + scan + paths("z.webp"));
        scan.sort();
        QCOMPARE(scan, paths("f/.h.webp f/x.webp f/y.WEBP"));
    }

    void panelOffersTheModesTypesAndSkipsTheCheck_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("types");
        QTest::newRow("0") << 0 << QStringList{"webp"};
        QTest::newRow("1") << 1 << QStringList{"webp"};
        QTest::newRow("2") << 2 << QStringList{"jpg", "png", "jpeg"};
        QTest::newRow("3") << 3 << QStringList{"gif"};
    }
    void panelOffersTheModesTypesAndSkipsTheCheck() {
        QFETCH(int, mode);
        QFETCH(QStringList, types);
        setMode(mode);
        const QStringList chosen{TestFiles::writeBytes(at("notes.txt"), "hi"), make("a.webp")[0]};
        QStringList offered;
        home->chooseFiles = [&](QWidget*, const QStringList& t) {
            offered = t;
            return chosen;
        };
        QSignalSpy done(home.get(), &HomeViewController::intakeFinished);
        home->addFile();
        QVERIFY(done.wait(10000));
        QCOMPARE(offered, types);
        QCOMPARE(listed(), chosen);
        QVERIFY(home->submitBtn()->isEnabled());
    }

    void pixelLimit_data() {
        QTest::addColumn<QSize>("size"); // the limit itself and resolutions: FileIntakeTest
        QTest::addColumn<bool>("accepted");
        QTest::newRow("8000 high") << QSize(1, 8000) << true;
        QTest::newRow("8001 wide") << QSize(8001, 1) << false;
    }
    void pixelLimit() {
        QFETCH(QSize, size);
        QFETCH(bool, accepted);
        setMode(2);
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::gray);
        QVERIFY(image.save(at("big.png")) && image.save(at("big2.png")));
        QSignalSpy alerts(home.get(), &HomeViewController::alertShown);
        QVERIFY(drop(paths("big.png big2.png")));
        QCOMPARE(listed(), accepted ? paths("big.png big2.png") : QStringList());
        QCOMPARE(alerts.count(), accepted ? 0 : 1); // one alert however many
        QVERIFY(home->submitBtn()->isEnabled());    // the alert enables it even on an empty list
        if (!accepted) {
            QCOMPARE(home->lastAlert()->text(),
                     QStringLiteral("You have image(s) with height or width dimension over 8000px. "
                                    "Please resize it before uploading"));
            QCOMPARE(home->lastAlert()->buttons().size(), 1);
            QCOMPARE(home->lastAlert()->buttons().first()->text(), QStringLiteral("OK"));
        }
        home->clearFile();
        QVERIFY(!home->submitBtn()->isEnabled());
    }

    // Alerts carry file names and tools' words: markup in them is shown, not obeyed.
    void alertShowsPlainText() {
        const QString message("<font size=7 color=red>Licence expired - pay at evil.example</font>"
                              "<!-- in \"/tmp/a.webp\"");
        QMessageBox* box = AlertSheet::show(home.get(), message);
        QCOMPARE(box->textFormat(), Qt::PlainText);
        QCOMPARE(box->text(), message);
        box->close();
    }

    void uploadLimit() {
        const QByteArray bytes = TestFiles::head(make("seed.png")[0], 1 << 16);
        QVERIFY(QDir().mkpath(at("many")));
        for (int i = 0; i < 10002; ++i)
            TestFiles::writeBytes(at(QStringLiteral("many/p%1.webp").arg(i)), bytes);
        QVERIFY(drop({at("many")}));
        QCOMPARE(home->jobList()->count(), 10000);
        QVERIFY(home->lastAlert() == nullptr); // filling up on the way is silent

        // A full list refuses the next drop with the alert.
        QSignalSpy alerts(home.get(), &HomeViewController::alertShown);
        home->dragDropViewFileList({at("x.webp")});
        QCOMPARE(alerts.count(), 1);
        QCOMPARE(alerts.at(0).at(0).toString(),
                 QStringLiteral("You can only upload 10000 pictures"));
        QCOMPARE(home->jobList()->count(), 10000);

        // With room for two, five files add the first two, in order.
        home->removeJob(0);
        home->removeJob(0);
        QStringList five;
        for (int i = 0; i < 5; ++i)
            five.append(TestFiles::writeBytes(at(QStringLiteral("new%1.webp").arg(i)), bytes));
        QVERIFY(drop(five));
        QCOMPARE(home->jobList()->count(), 10000);
        QCOMPARE(listed().mid(9998), five.mid(0, 2));
        QCOMPARE(alerts.count(), 1);
    }

    void dropEventReachesTheIntake() {
        const QStringList files = make("a.webp d/in.webp");
        const QString txt = TestFiles::writeBytes(at("t.txt"), "x");
        home->show();
        QVERIFY(QTest::qWaitForWindowExposed(home.get()));
        auto enterAccepted = [&](const QMimeData& data) {
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(home->dropView(), &enter);
            return enter.isAccepted() && enter.dropAction() == Qt::CopyAction;
        };
        QMimeData text, web, local;
        text.setText(QStringLiteral("just text"));
        web.setUrls({QUrl(QStringLiteral("https://example.org/a.webp"))});
        local.setUrls({QUrl::fromLocalFile(files[0]), QUrl::fromLocalFile(txt),
                       QUrl::fromLocalFile(at("d"))});
        QVERIFY(!enterAccepted(text));
        QVERIFY(!enterAccepted(web));
        QVERIFY(enterAccepted(local));
        QSignalSpy done(home.get(), &HomeViewController::intakeFinished);
        QDropEvent dropEvent(QPointF(10, 10), Qt::CopyAction, &local, Qt::LeftButton, {});
        QCoreApplication::sendEvent(home->dropView(), &dropEvent);
        QVERIFY(dropEvent.isAccepted());
        QVERIFY(done.wait(10000));
        QCOMPARE(listed(), files);
    }

    void sizeText_data() {
        QTest::addColumn<qint64>("bytes"); // -1: the file is missing
        QTest::addColumn<QString>("text");
        QTest::newRow("missing") << qint64(-1) << "0.00 KB";
        QTest::newRow("500") << qint64(500) << "0.50 KB";
        QTest::newRow("1,024,000") << qint64(1024000) << "1024.00 KB";
        QTest::newRow("1,024,001") << qint64(1024001) << "1.00 MB";
        QTest::newRow("2,000,000") << qint64(2000000) << "1.95 MB";
        QTest::newRow("5,000,000") << qint64(5000000) << "4.88 MB";
    }
    void sizeText() {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        if (bytes >= 0)
            TestFiles::writeBytes(at("a.webp"), QByteArray(bytes, 'x'));
        QVERIFY(drop({at("a.webp")}));
        QCOMPARE(home->tableModel()->index(0, 0).data(JobTableModel::SizeTextRole).toString(),
                 text);
    }

    void deleteRenumbersRows() {
        const QStringList paths = make("a.webp b.webp c.webp");
        QVERIFY(drop(paths));
        home->show();
        QVERIFY(QTest::qWaitForWindowExposed(home.get()));
        auto* viewport = home->tableView()->viewport();
        const QRect row1 = home->tableView()->visualRect(home->tableModel()->index(1, 0));
        QTest::mouseClick(viewport, Qt::LeftButton, {},
                          TessaroCell::deleteButtonRect(row1).center());
        QCOMPARE(listed(), (QStringList{paths[0], paths[2]}));
        QCOMPARE(home->tableModel()->index(1, 0).data(JobTableModel::PathRole).toString(),
                 paths[2]);
        // A click elsewhere on the row deletes nothing.
        QTest::mouseClick(viewport, Qt::LeftButton, {},
                          QPoint(row1.left() + 120, row1.center().y()));
        QCOMPARE(home->jobList()->count(), 2);
        QVERIFY(home->submitBtn()->isEnabled());
        home->removeJob(1);
        home->removeJob(0);
        QCOMPARE(home->tableModel()->rowCount(), 0);
        QVERIFY(!home->submitBtn()->isEnabled());
    }

    void modeChangeClearsTheListFromTheMainViewOnly() {
        QVERIFY(drop(make("a.webp b.webp")));
        Settings::setValue(SettingsKeys::CompressionRatio, QStringLiteral("0.7"));
        OptionsWindow window(home.get());
        QCOMPARE(window.ratioText()->text(), QStringLiteral("70%"));
        window.comboBox()->setCurrentIndex(2);
        Q_EMIT window.comboBox()->activated(2);
        QCOMPARE(Settings::stringValue(SettingsKeys::Format), QStringLiteral("2"));
        window.ratioSlider()->setValue(420);
        QCOMPARE(window.ratioText()->text(), QStringLiteral("42%"));
        QCOMPARE(home->convertType(), qint64(0)); // not before the window closes
        window.reject();
        QCOMPARE(home->comboBox()->currentIndex(), 2);
        QCOMPARE(home->ratioText()->text(), QStringLiteral("42%"));
        QCOMPARE(home->ratio(), 42.0);
        QCOMPARE(home->jobList()->count(), 2);
        setMode(2); // the mode in force: only stored
        QCOMPARE(home->jobList()->count(), 2);
        setMode(0);
        QCOMPARE(home->jobList()->count(), 0);
        QVERIFY(!home->submitBtn()->isEnabled());
        QCOMPARE(Settings::stringValue(SettingsKeys::Format), QStringLiteral("0"));
    }

    // The options window's folder choices are stored at once; a subfolder option on makes a
    // dropped folder give its tree, and a name that is not valid UTF-8 counts as skipped.
    void folderOptionsAndUnusableNames() {
        setMode(ConvertMode::ImageToWebp);
        {
            OptionsWindow window(home.get());
            QVERIFY(!window.includeSubfolders()->isChecked());
            QCOMPARE(window.existingResult()->currentIndex(), 0);
            window.includeSubfolders()->setChecked(true);
            window.existingResult()->setCurrentIndex(1);
        }
        QVERIFY(Settings::value(SettingsKeys::IncludeSubfolders).toBool());
        QVERIFY(Settings::value(SettingsKeys::SkipExistingResults).toBool());
        make("tree/top.png tree/a/x.png tree/a/b/y.png");
        const int fd =
            ::open(QFile::encodeName(at("tree")) + "/caf\xe9.png", O_CREAT | O_WRONLY, 0644);
        QVERIFY(fd >= 0);
        ::close(fd);
        QVERIFY(drop({at("tree")}));
        QStringList subfolders;
        for (const PicModel& job : home->jobList()->dataArr())
            subfolders << job.name + " in '" + job.outputSubfolder + "'";
        subfolders.sort();
        QCOMPARE(subfolders, (QStringList{"top.png in ''", "x.png in 'a'", "y.png in 'a/b'"}));
        QVERIFY2(home->statusLabel()->text().contains("1 skipped"),
                 qPrintable(home->statusLabel()->text()));
        Settings::setValue(SettingsKeys::IncludeSubfolders, false);
        home->clearFile();
        QVERIFY(drop({at("tree")}));
        QCOMPARE(listed(), paths("tree/top.png"));
        ::unlink(QFile::encodeName(at("tree")) + "/caf\xe9.png"); // QTemporaryDir cannot name it
    }

    // Profiles on and metadata off when nothing is stored; each box writes through at once.
    // PNG results are lossless: the quality slider is off in that mode and says why.
    void fidelityOptionsAndQualityAvailability() {
        {
            OptionsWindow window(home.get());
            QVERIFY(window.keepColorProfiles()->isChecked());
            QVERIFY(!window.keepMetadata()->isChecked());
            QVERIFY(window.keepMetadata()->toolTip().contains("location"));
            window.keepColorProfiles()->click();
            window.keepMetadata()->click();
            QCOMPARE(Settings::value(SettingsKeys::KeepColorProfiles).toBool(), false);
            QCOMPARE(Settings::value(SettingsKeys::KeepMetadata).toBool(), true);
            window.comboBox()->setCurrentIndex(ConvertMode::WebpToPng);
            Q_EMIT window.comboBox()->activated(ConvertMode::WebpToPng);
            QVERIFY(!window.ratioSlider()->isEnabled());
            QVERIFY(window.ratioSlider()->toolTip().contains("lossless"));
            window.reject();
        }
        OptionsWindow again(home.get());
        QVERIFY(!again.keepColorProfiles()->isChecked());
        QVERIFY(again.keepMetadata()->isChecked());
        QVERIFY(!home->ratioSlider()->isEnabled());
        QVERIFY(home->ratioSlider()->toolTip().contains("lossless"));
        setMode(ConvertMode::WebpToJpg);
        QVERIFY(home->ratioSlider()->isEnabled());
        QVERIFY(!home->ratioSlider()->toolTip().contains("lossless"));
    }

    void sliderPersists_data() {
        QTest::addColumn<int>("thousandths");
        QTest::addColumn<int>("percent");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("percentAfterRestart");
        QTest::newRow("0.856") << 856 << 85 << QString("0.856") << 85;
        QTest::newRow("zero") << 0 << 0 << QString("0") << 90;
        QTest::newRow("one") << 1000 << 100 << QString("1") << 100;
        QTest::newRow("0.29") << 290 << 29 << QString("0.29") << 29;
        QTest::newRow("0.009 is not 0") << 9 << 0 << QString("0.009") << 0;
    }
    void sliderPersists() {
        QFETCH(int, thousandths);
        QFETCH(int, percent);
        QFETCH(QString, stored);
        QFETCH(int, percentAfterRestart);
        home->ratioSlider()->setValue(thousandths == 900 ? 899 : 900); // make sure it moves
        home->ratioSlider()->setValue(thousandths);
        QCOMPARE(home->ratioText()->text(), QString::number(percent) + u'%');
        QCOMPARE(home->ratio(), double(percent));
        // Written through to the file, so a restart of the settings and the view finds it.
        QFile store(QSettings().fileName());
        QVERIFY(store.open(QIODevice::ReadOnly));
        QVERIFY(store.readAll().contains(SettingsKeys::CompressionRatio +
                                         ("=" + stored.toUtf8() + "\n")));
        newHome();
        QCOMPARE(home->ratioText()->text(), QString::number(percentAfterRestart) + u'%');
        QCOMPARE(home->ratioSlider()->value(), percentAfterRestart * 10);
        QCOMPARE(home->ratio(), double(percentAfterRestart));
    }
};

QTEST_MAIN(HomeViewTest)
#include "tst_homeview.moc"
