// The home view as a user drives it: start-up, intake through drops and panels, limits and
// their alerts, the start button, row deletion and the options rules.
#include "FileIntake.h"
#include "FractionSlider.h"
#include "HomeViewController.h"
#include "JobList.h"
#include "JobTableModel.h"
#include "JobTableView.h"
#include "ModeBox.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "OptionsWindow.h"
#include "Settings.h"
#include "SettingsKeys.h"
#include "TessaroCell.h"
#include "TestImages.h"

#include <QMimeData>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

class HomeViewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<HomeViewController> home;

    QString at(const QString& name) const { return dir->filePath(name); }
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

    void setMode(qint64 mode) {
        home->comboBox()->setCurrentIndex(static_cast<int>(mode));
        Q_EMIT home->comboBox()->activated(static_cast<int>(mode));
        QCOMPARE(home->convertType(), mode);
    }

private Q_SLOTS:
    void initTestCase() {
        QCoreApplication::setOrganizationName(QStringLiteral("tessaro-tests"));
        QCoreApplication::setApplicationName(QStringLiteral("tst_homeview"));
    }

    void init() {
        QSettings().clear();
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        newHome();
    }

    void cleanup() {
        home.reset();
        dir.reset();
    }

    void startUpState_data() {
        QTest::addColumn<QVariant>("format");
        QTest::addColumn<QVariant>("ratio");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("sliderValue"); // thousandths
        QTest::newRow("empty store") << QVariant() << QVariant() << 0 << "90%" << 900;
        QTest::newRow("format 2, 0.85") << QVariant("2") << QVariant("0.85") << 2 << "85%" << 850;
        QTest::newRow("ratio 0 means 90") << QVariant("3") << QVariant("0") << 3 << "90%" << 900;
        QTest::newRow("ratio not a number")
            << QVariant("1") << QVariant("abc") << 1 << "90%" << 900;
        QTest::newRow("ratio 0.856 truncates")
            << QVariant("0") << QVariant("0.856") << 0 << "85%" << 850;
        QTest::newRow("format out of range")
            << QVariant("7") << QVariant("0.5") << 0 << "50%" << 500;
    }

    void startUpState() {
        QFETCH(QVariant, format);
        QFETCH(QVariant, ratio);
        QFETCH(int, mode);
        QFETCH(QString, label);
        QFETCH(int, sliderValue);
        if (format.isValid())
            Settings::setValue(SettingsKeys::Format, format);
        if (ratio.isValid())
            Settings::setValue(SettingsKeys::CompressionRatio, ratio);
        QWidget window;
        auto* view = new HomeViewController(&window);
        QCOMPARE(window.windowTitle(), QStringLiteral("Tessaro Pro"));
        QVERIFY(!view->submitBtn()->isEnabled());
        QCOMPARE(view->jobList()->count(), 0);
        QCOMPARE(view->tableModel()->rowCount(), 0);
        QCOMPARE(view->uploadCount(), qint64(10000));
        QCOMPARE(view->index(), qint64(0));
        QCOMPARE(view->comboBox()->count(), 4);
        QCOMPARE(view->comboBox()->currentIndex(), mode);
        QCOMPARE(view->convertType(), qint64(mode));
        QCOMPARE(view->ratioText()->text(), label);
        QCOMPARE(view->ratioSlider()->value(), sliderValue);
        QCOMPARE(view->ratio(), double(label.chopped(1).toInt()));
        // The stored values are only read, never rewritten, at start-up.
        QCOMPARE(Settings::value(SettingsKeys::CompressionRatio), ratio);
    }

    void dropTakesAcceptedExtensions_data() {
        QTest::addColumn<qint64>("mode");
        QTest::addColumn<QStringList>("files");    // created in this order
        QTest::addColumn<QStringList>("dropped");  // dropped in this order
        QTest::addColumn<QStringList>("expected"); // listed afterwards, in this order
        QTest::newRow("webp: unaccepted file in the middle is skipped")
            << qint64(0) << QStringList{"a.webp", "notes.txt", "b.webp"}
            << QStringList{"a.webp", "notes.txt", "b.webp"} << QStringList{"a.webp", "b.webp"};
        QTest::newRow("webp: case of the extension")
            << qint64(1) << QStringList{"x.webp", "y.WEBP", "z.Webp", "w.png"}
            << QStringList{"z.Webp", "x.webp", "w.png", "y.WEBP"}
            << QStringList{"x.webp", "y.WEBP"};
        QTest::newRow("jpg/png: every accepted spelling")
            << qint64(2)
            << QStringList{"p.png", "q.JPG", "r.jpeg", "s.JPEG", "t.Jpg", "u.webp", "v.PNG"}
            << QStringList{"p.png", "q.JPG", "r.jpeg", "s.JPEG", "t.Jpg", "u.webp", "v.PNG"}
            << QStringList{"p.png", "q.JPG", "r.jpeg", "s.JPEG", "v.PNG"};
        QTest::newRow("gif") << qint64(3) << QStringList{"a.gif", "b.GIF", "c.png", "d.Gif"}
                             << QStringList{"c.png", "a.gif", "d.Gif", "b.GIF"}
                             << QStringList{"a.gif", "b.GIF"};
    }

    void dropTakesAcceptedExtensions() {
        QFETCH(qint64, mode);
        QFETCH(QStringList, files);
        QFETCH(QStringList, dropped);
        QFETCH(QStringList, expected);
        setMode(mode);
        for (const QString& name : files)
            TestImages::write(at(name), 8, 8, "PNG");
        QStringList paths;
        for (const QString& name : dropped)
            paths.append(at(name));
        QVERIFY(drop(paths));
        QStringList want;
        for (const QString& name : expected)
            want.append(at(name));
        QCOMPARE(listed(), want);
        QVERIFY(home->submitBtn()->isEnabled());
        QVERIFY(home->lastAlert() == nullptr);
        QCOMPARE(home->tableModel()->rowCount(), want.size());
    }

    void folderScan_data() {
        QTest::addColumn<qint64>("mode");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QStringList>("expected"); // any order: the listing order is the disk's
        QTest::newRow("webp folder")
            << qint64(0) << QStringList{"x.webp", "y.WEBP", "z.Webp", "w.png", ".h.webp"}
            << QStringList{"x.webp", "y.WEBP", ".h.webp"};
        QTest::newRow("gif folder")
            << qint64(3) << QStringList{"a.gif", "b.GIF", "c.png"} << QStringList{"a.gif", "b.GIF"};
        QTest::newRow("no matching files")
            << qint64(0) << QStringList{"a.png", "b.txt"} << QStringList{};
    }

    void folderScan() {
        QFETCH(qint64, mode);
        QFETCH(QStringList, entries);
        QFETCH(QStringList, expected);
        setMode(mode);
        const QString folder = at(QStringLiteral("folder"));
        for (const QString& name : entries)
            TestImages::write(folder + u'/' + name, 8, 8, "PNG");
        // Subfolders are never taken, even named like images.
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/sub.webp/inner")));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/sub.gif")));
        TestImages::write(folder + QStringLiteral("/sub.webp/deep.webp"), 8, 8, "PNG");
        QVERIFY(drop({folder}));
        QStringList got = listed();
        QStringList want;
        for (const QString& name : expected)
            want.append(folder + u'/' + name);
        // The folder's own listing order is kept.
        QCOMPARE(got, HomeViewController::getDirFileWithExtType(mode, folder));
        got.sort();
        want.sort();
        QCOMPARE(got, want);
        QCOMPARE(home->submitBtn()->isEnabled(), !want.isEmpty());
    }

    void folderAmongFilesExpandsInPlace() {
        const QString folder = at(QStringLiteral("f"));
        TestImages::write(folder + QStringLiteral("/in.webp"), 8, 8, "PNG");
        const QString before = TestImages::write(at(QStringLiteral("before.webp")), 8, 8, "PNG");
        const QString after = TestImages::write(at(QStringLiteral("after.webp")), 8, 8, "PNG");
        QVERIFY(drop({before, folder, after}));
        QCOMPARE(listed(), (QStringList{before, folder + QStringLiteral("/in.webp"), after}));
    }

    void duplicatesAreSkipped() {
        const QString a = TestImages::write(at(QStringLiteral("a.webp")), 8, 8, "PNG");
        const QString b = TestImages::write(at(QStringLiteral("b.webp")), 8, 8, "PNG");
        QVERIFY(drop({a, a, b, a}));
        QCOMPARE(listed(), (QStringList{a, b}));
        QVERIFY(drop({b}));
        QCOMPARE(listed(), (QStringList{a, b}));
        // Same file name in another folder is another job.
        const QString other = TestImages::write(at(QStringLiteral("other/a.webp")), 8, 8, "PNG");
        QVERIFY(drop({other}));
        QCOMPARE(home->jobList()->count(), 3);
        QCOMPARE(home->jobList()->at(2).name, QStringLiteral("a.webp"));
    }

    void missingFileBecomesEmptyJob() {
        const QString ghost = at(QStringLiteral("ghost.webp"));
        QVERIFY(drop({ghost}));
        QCOMPARE(listed(), QStringList{ghost});
        QCOMPARE(home->jobList()->at(0).size, 0.0);
        QCOMPARE(home->tableModel()->index(0, 0).data(JobTableModel::SizeTextRole).toString(),
                 QStringLiteral("0.00 KB"));
    }

    void emptyDropDoesNothing() {
        QVERIFY(drop({}));
        QCOMPARE(home->jobList()->count(), 0);
        QVERIFY(!home->submitBtn()->isEnabled());
        QVERIFY(home->lastAlert() == nullptr);
    }

    void panelSkipsTheExtensionCheck() {
        const QString text = TestImages::writeBytes(at(QStringLiteral("notes.txt")), "hello");
        const QString webp = TestImages::write(at(QStringLiteral("a.webp")), 8, 8, "PNG");
        QStringList offeredTypes;
        home->chooseFiles = [&](QWidget*, const QStringList& types) {
            offeredTypes = types;
            return QStringList{text, webp};
        };
        QSignalSpy done(home.get(), &HomeViewController::intakeFinished);
        home->addFile();
        QVERIFY(done.wait(10000));
        QCOMPARE(offeredTypes, QStringList{QStringLiteral("webp")});
        QCOMPARE(listed(), (QStringList{text, webp}));
        QVERIFY(home->submitBtn()->isEnabled());
    }

    void panelOffersTheModesTypes_data() {
        QTest::addColumn<qint64>("mode");
        QTest::addColumn<QStringList>("types");
        QTest::newRow("0") << qint64(0) << QStringList{"webp"};
        QTest::newRow("1") << qint64(1) << QStringList{"webp"};
        QTest::newRow("2") << qint64(2) << QStringList{"jpg", "png", "jpeg"};
        QTest::newRow("3") << qint64(3) << QStringList{"gif"};
    }

    void panelOffersTheModesTypes() {
        QFETCH(qint64, mode);
        QFETCH(QStringList, types);
        setMode(mode);
        QStringList offered;
        home->chooseFiles = [&](QWidget*, const QStringList& t) {
            offered = t;
            return QStringList();
        };
        home->addFile();
        QCOMPARE(offered, types);
        QCOMPARE(home->jobList()->count(), 0);
        QVERIFY(!home->submitBtn()->isEnabled());
    }

    void addFolderScansTheFolder() {
        const QString folder = at(QStringLiteral("picked"));
        TestImages::write(folder + QStringLiteral("/one.webp"), 8, 8, "PNG");
        TestImages::writeBytes(folder + QStringLiteral("/two.txt"), "x");
        home->chooseFolder = [&](QWidget*) { return folder; };
        QSignalSpy done(home.get(), &HomeViewController::intakeFinished);
        home->addFolder();
        QVERIFY(done.wait(10000));
        QCOMPARE(listed(), QStringList{folder + QStringLiteral("/one.webp")});
    }

    void pixelLimit_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("8000 wide") << 8000 << 1 << 0 << true;
        QTest::newRow("8000 high") << 1 << 8000 << 0 << true;
        QTest::newRow("8001 wide") << 8001 << 1 << 0 << false;
        QTest::newRow("8001 high") << 1 << 8001 << 0 << false;
        QTest::newRow("8000 wide at 36 dpi") << 8000 << 1 << 36 << true;
        QTest::newRow("8001 wide at 144 dpi") << 8001 << 1 << 144 << false;
    }

    void pixelLimit() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, dpi);
        QFETCH(bool, accepted);
        setMode(2);
        const QString image =
            TestImages::write(at(QStringLiteral("big.png")), width, height, "PNG", dpi);
        const QString small = TestImages::write(at(QStringLiteral("small.png")), 8, 8, "PNG");
        QVERIFY(drop({image, small}));
        QCOMPARE(listed(), (accepted ? QStringList{image, small} : QStringList{small}));
        if (accepted) {
            QVERIFY(home->lastAlert() == nullptr);
        } else {
            QVERIFY(home->lastAlert() != nullptr);
            QCOMPARE(home->lastAlert()->text(),
                     QStringLiteral("You have image(s) with height or width dimension over 8000px. "
                                    "Please resize it before uploading"));
            QCOMPARE(home->lastAlert()->buttons().size(), 1);
            QCOMPARE(home->lastAlert()->buttons().first()->text(), QStringLiteral("OK"));
        }
    }

    void oversizeOnlyLeavesStartEnabled() {
        setMode(2);
        const QString a = TestImages::write(at(QStringLiteral("a.png")), 8001, 1, "PNG");
        const QString b = TestImages::write(at(QStringLiteral("b.png")), 1, 8001, "PNG");
        QSignalSpy alerts(home.get(), &HomeViewController::alertShown);
        QVERIFY(drop({a, b}));
        QCOMPARE(home->jobList()->count(), 0);
        QCOMPARE(alerts.count(), 1); // one alert however many were too large
        QVERIFY(home->submitBtn()->isEnabled());
        // Clear now runs (the button is enabled) and leaves it disabled.
        home->clearFile();
        QVERIFY(!home->submitBtn()->isEnabled());
        // And on an empty list with the button disabled it does nothing.
        home->clearFile();
        QVERIFY(!home->submitBtn()->isEnabled());
    }

    void uploadLimit() {
        const QString folder = at(QStringLiteral("many"));
        QVERIFY(QDir().mkpath(folder));
        const QByteArray bytes = TestImages::bytesOf("WEBP");
        QVERIFY(!bytes.isEmpty());
        for (int i = 0; i < 10002; ++i)
            TestImages::writeBytes(
                folder + QStringLiteral("/p%1.webp").arg(i, 5, 10, QLatin1Char('0')), bytes);
        QVERIFY(drop({folder}));
        QCOMPARE(home->jobList()->count(), 10000);
        QVERIFY(home->lastAlert() == nullptr); // filling up on the way is silent
        QVERIFY(home->submitBtn()->isEnabled());

        // A full list refuses the next drop with the alert, before looking at anything.
        QSignalSpy alerts(home.get(), &HomeViewController::alertShown);
        home->dragDropViewFileList({at(QStringLiteral("x.webp"))});
        QCOMPARE(alerts.count(), 1);
        QCOMPARE(alerts.at(0).at(0).toString(),
                 QStringLiteral("You can only upload 10000 pictures"));
        QCOMPARE(home->jobList()->count(), 10000);

        // Through the panel, the panel comes first and the alert after it.
        int panelShown = 0;
        qsizetype alertsBeforePanel = -1;
        home->chooseFiles = [&](QWidget*, const QStringList&) {
            ++panelShown;
            alertsBeforePanel = alerts.count();
            return QStringList{at(QStringLiteral("y.webp"))};
        };
        home->addFile();
        QCOMPARE(panelShown, 1);
        QCOMPARE(alertsBeforePanel, qsizetype(1));
        QCOMPARE(alerts.count(), 2);

        // With 9998 jobs, five acceptable files add the first two, in order.
        home->deleteImag(0);
        home->deleteImag(0);
        QCOMPARE(home->jobList()->count(), 9998);
        QStringList five;
        for (int i = 0; i < 5; ++i)
            five.append(TestImages::writeBytes(at(QStringLiteral("new%1.webp").arg(i)), bytes));
        QVERIFY(drop(five));
        QCOMPARE(home->jobList()->count(), 10000);
        QCOMPARE(home->jobList()->pathArr().mid(9998), five.mid(0, 2));
        QCOMPARE(alerts.count(), 2);
    }

    void deleteRenumbersRows() {
        const QStringList paths{TestImages::write(at(QStringLiteral("a.webp")), 8, 8, "PNG"),
                                TestImages::write(at(QStringLiteral("b.webp")), 8, 8, "PNG"),
                                TestImages::write(at(QStringLiteral("c.webp")), 8, 8, "PNG")};
        QVERIFY(drop(paths));
        home->show();
        QVERIFY(QTest::qWaitForWindowExposed(home.get()));
        JobTableView* table = home->vectorTableView();
        // Click the delete button painted in row 1.
        const QRect row1 = table->visualRect(home->tableModel()->index(1, 0));
        QCOMPARE(row1.height(), 80);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                          TessaroCell::deleteButtonRect(row1).center());
        QCOMPARE(listed(), (QStringList{paths[0], paths[2]}));
        QCOMPARE(home->tableModel()->index(1, 0).data(JobTableModel::PathRole).toString(),
                 paths[2]);
        QVERIFY(home->submitBtn()->isEnabled());
        // A click on the row elsewhere deletes nothing.
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                          QPoint(row1.left() + 120, row1.center().y()));
        QCOMPARE(home->jobList()->count(), 2);
        home->deleteImag(1);
        home->deleteImag(0);
        QCOMPARE(home->jobList()->count(), 0);
        QVERIFY(!home->submitBtn()->isEnabled());
        QCOMPARE(home->tableModel()->rowCount(), 0);
    }

    void dropEventsReachTheIntake() {
        const QString a = TestImages::write(at(QStringLiteral("a.webp")), 8, 8, "PNG");
        const QString folder = at(QStringLiteral("d"));
        const QString inner = TestImages::write(folder + QStringLiteral("/in.webp"), 8, 8, "PNG");
        const QString txt = TestImages::writeBytes(at(QStringLiteral("t.txt")), "x");
        DragDropView* view = home->dropView();
        home->show();
        QVERIFY(QTest::qWaitForWindowExposed(home.get()));

        QMimeData textOnly;
        textOnly.setText(QStringLiteral("just text"));
        QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &textOnly, Qt::LeftButton, {});
        QCoreApplication::sendEvent(view, &refused);
        QVERIFY(!refused.isAccepted());

        QMimeData webLink;
        webLink.setUrls({QUrl(QStringLiteral("https://example.org/a.webp"))});
        QDragEnterEvent remote(QPoint(10, 10), Qt::CopyAction, &webLink, Qt::LeftButton, {});
        QCoreApplication::sendEvent(view, &remote);
        QVERIFY(!remote.isAccepted());

        QMimeData files;
        files.setUrls(
            {QUrl::fromLocalFile(a), QUrl::fromLocalFile(txt), QUrl::fromLocalFile(folder)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &files, Qt::LeftButton, {});
        QCoreApplication::sendEvent(view, &enter);
        QVERIFY(enter.isAccepted());
        QCOMPARE(enter.dropAction(), Qt::CopyAction);

        QSignalSpy done(home.get(), &HomeViewController::intakeFinished);
        QDropEvent dropEvent(QPointF(10, 10), Qt::CopyAction, &files, Qt::LeftButton, {});
        QCoreApplication::sendEvent(view, &dropEvent);
        QVERIFY(dropEvent.isAccepted());
        QVERIFY(done.wait(10000));
        QCOMPARE(listed(), (QStringList{a, inner}));
    }

    void dockDragFileNotification() {
        const QString a = TestImages::write(at(QStringLiteral("a.webp")), 8, 8, "PNG");
        const QString b = TestImages::write(at(QStringLiteral("b.webp")), 8, 8, "PNG");
        QSignalSpy done(home.get(), &HomeViewController::intakeFinished);
        NotificationCenter::defaultCenter().post(QLatin1String(NotificationNames::DockDragFile),
                                                 QStringList{b, a});
        QVERIFY(done.wait(10000));
        QCOMPARE(listed(), (QStringList{b, a}));
    }

    void checkAgreeSubmit() {
        home->checkAgreeSubmit();
        QVERIFY(!home->submitBtn()->isEnabled());
        QVERIFY(drop({TestImages::write(at(QStringLiteral("a.webp")), 8, 8, "PNG")}));
        home->submitBtn()->setEnabled(false);
        home->checkAgreeSubmit();
        QVERIFY(home->submitBtn()->isEnabled());
    }

    void clearEmptiesTheList() {
        QVERIFY(drop({TestImages::write(at(QStringLiteral("a.webp")), 8, 8, "PNG"),
                      TestImages::write(at(QStringLiteral("b.webp")), 8, 8, "PNG")}));
        home->clearFile();
        QCOMPARE(home->jobList()->count(), 0);
        QCOMPARE(home->tableModel()->rowCount(), 0);
        QVERIFY(!home->submitBtn()->isEnabled());
    }

    void modeChangeInMainView() {
        QVERIFY(drop({TestImages::write(at(QStringLiteral("a.webp")), 8, 8, "PNG"),
                      TestImages::write(at(QStringLiteral("b.webp")), 8, 8, "PNG"),
                      TestImages::write(at(QStringLiteral("c.webp")), 8, 8, "PNG")}));
        // Choosing the mode in force only stores it.
        setMode(0);
        QCOMPARE(home->jobList()->count(), 3);
        QCOMPARE(Settings::stringValue(SettingsKeys::Format), QStringLiteral("0"));
        setMode(2);
        QCOMPARE(home->jobList()->count(), 0);
        QVERIFY(!home->submitBtn()->isEnabled());
        QCOMPARE(Settings::stringValue(SettingsKeys::Format), QStringLiteral("2"));
    }

    void refreshFromTheStoreNeverClears() {
        QVERIFY(drop({TestImages::write(at(QStringLiteral("a.webp")), 8, 8, "PNG")}));
        Settings::setValue(SettingsKeys::Format, QStringLiteral("3"));
        NotificationCenter::defaultCenter().post(QLatin1String(NotificationNames::RefreshOptions));
        QCOMPARE(home->convertType(), qint64(3));
        QCOMPARE(home->comboBox()->currentIndex(), 3);
        QCOMPARE(home->jobList()->count(), 1);
    }

    void optionsWindowKeepsTheJobs() {
        QVERIFY(drop({TestImages::write(at(QStringLiteral("a.webp")), 8, 8, "PNG"),
                      TestImages::write(at(QStringLiteral("b.webp")), 8, 8, "PNG")}));
        Settings::setValue(SettingsKeys::CompressionRatio, QStringLiteral("0.7"));
        OptionsWindow window(home.get());
        QCOMPARE(window.comboBox()->currentIndex(), 0);
        QCOMPARE(window.ratioText()->text(), QStringLiteral("70%"));
        window.comboBox()->setCurrentIndex(2);
        Q_EMIT window.comboBox()->activated(2);
        QCOMPARE(Settings::stringValue(SettingsKeys::Format), QStringLiteral("2"));
        window.ratioSlider()->setValue(420);
        QCOMPARE(window.ratioText()->text(), QStringLiteral("42%"));
        QCOMPARE(home->convertType(), qint64(0)); // not before the window closes
        window.reject();
        QCOMPARE(home->convertType(), qint64(2));
        QCOMPARE(home->comboBox()->currentIndex(), 2);
        QCOMPARE(home->ratioText()->text(), QStringLiteral("42%"));
        QCOMPARE(home->ratio(), 42.0);
        QCOMPARE(home->jobList()->count(), 2);
    }

    void sliderRules_data() {
        QTest::addColumn<int>("thousandths");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("afterRefresh");
        QTest::addColumn<int>("sliderAfterRefresh");
        QTest::newRow("0.856") << 856 << "85%"
                               << "0.856"
                               << "85%" << 850;
        QTest::newRow("zero") << 0 << "0%"
                              << "0"
                              << "90%" << 900;
        QTest::newRow("one") << 1000 << "100%"
                             << "1"
                             << "100%" << 1000;
        QTest::newRow("0.29") << 290 << "29%"
                              << "0.29"
                              << "29%" << 290;
        QTest::newRow("0.009: not exactly 0, so 0") << 9 << "0%"
                                                    << "0.009"
                                                    << "0%" << 0;
    }

    void sliderRules() {
        QFETCH(int, thousandths);
        QFETCH(QString, label);
        QFETCH(QString, stored);
        QFETCH(QString, afterRefresh);
        QFETCH(int, sliderAfterRefresh);
        home->ratioSlider()->setValue(thousandths == 900 ? 899 : 900); // make sure it moves
        home->ratioSlider()->setValue(thousandths);
        QCOMPARE(home->ratioText()->text(), label);
        QCOMPARE(home->ratio(), double(label.chopped(1).toInt()));
        QCOMPARE(Settings::stringValue(SettingsKeys::CompressionRatio), stored);
        // The stored value survives a restart of the view and of the settings.
        newHome();
        QCOMPARE(home->ratioText()->text(), afterRefresh);
        QCOMPARE(home->ratioSlider()->value(), sliderAfterRefresh);
        QCOMPARE(home->ratio(), double(afterRefresh.chopped(1).toInt()));
    }

    void sliderWithOtherTagChangesNothing() {
        FractionSlider other;
        other.setTag(1);
        other.setValue(300);
        home->sliderValueChanged(&other);
        QCOMPARE(home->ratioText()->text(), QStringLiteral("90%"));
        QCOMPARE(home->ratio(), 90.0);
        QVERIFY(!Settings::contains(SettingsKeys::CompressionRatio));
    }
};

QTEST_MAIN(HomeViewTest)
#include "tst_homeview.moc"
