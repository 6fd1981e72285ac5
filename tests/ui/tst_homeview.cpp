// The home view's own wiring without a run: how additions reach the list, its alerts, row
// deletion, the two ways of changing the mode and the quality sliders.
#include "AlertSheet.h"
#include "DecodePool.h"
#include "FileIntake.h"
#include "HomeTestKit.h"
#include "ModeTable.h"
#include "PresetFile.h"
#include "ReasonText.h"
#include "ThumbnailLoader.h"

#include <QTextDocument>

using namespace HomeTestKit;

class HomeViewTest : public QObject, HomeCase {
    Q_OBJECT

    // Small real images (PNG whatever the extension) at space-separated names.
    QStringList make(const QString& names) const {
        QStringList paths;
        for (const QString& name : names.split(u' ', Qt::SkipEmptyParts))
            paths.append(image(name, {8, 8}));
        return paths;
    }
    ModeBox* barBox() const { return home->optionsBar()->modeBox(); }

private Q_SLOTS:
    void init() { QVERIFY(startCase(ConvertMode::ImageToWebp, false)); }
    void cleanup() { home.reset(); }

    // Only the rows on screen and a page either side are decoded; scrolled to the end, the last
    // rows get theirs, and the first keep theirs for the way back.
    void thumbnailsFollowTheScreen() {
        home->resize(700, 400);
        home->show();
        QVERIFY(QTest::qWaitForWindowExposed(home.get()));
        QStringList files;
        for (int i = 0; i < 150; ++i)
            files.append(image(QStringLiteral("t%1.png").arg(i, 3, 10, QLatin1Char('0'))));
        QVERIFY(addAndWait(*home, files));
        JobTableModel* model = home->session()->model();
        const auto shown = [model](int row) {
            return !model->index(row, 0)
                        .data(JobTableModel::ThumbnailRole)
                        .value<QImage>()
                        .isNull();
        };
        QTRY_VERIFY_WITH_TIMEOUT(shown(0), 20000);
        decodePool()->waitForDone();
        const int decoded = model->thumbnails()->loader()->decodeCount();
        QVERIFY2(decoded > 0 && decoded < 40, qPrintable(QString::number(decoded)));
        home->tableView()->scrollToBottom();
        QTRY_VERIFY_WITH_TIMEOUT(shown(149), 20000);
        QVERIFY(shown(0));
    }

    // A drop checks extensions, the open panel offers the mode's file types and takes what
    // is chosen; a dropped folder gives its tree only with "Include subfolders".
    void intake_data() {
        QTest::addColumn<ConvertMode>("mode");
        QTest::addColumn<bool>("panel");
        QTest::addColumn<bool>("subfolders"); // ticked in the options window
        QTest::addColumn<QString>("made");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("listed");
        const auto toWebp = ConvertMode::ImageToWebp;
        const QString tree = "f/x.png f/s/y.png", folder = "f", all; // all: what was made
        QTest::newRow("drop") << toWebp << false << false << "a.png n.txt b.gif" << all << "a.png";
        QTest::newRow("panel") << ConvertMode::WebpToJpg << true << false << "a.png n.txt" << all
                               << "a.png n.txt";
        QTest::newRow("folder") << toWebp << false << false << tree << folder << "f/x.png";
        QTest::newRow("subfolders")
            << toWebp << false << true << tree << folder << "f/s/y.png f/x.png";
    }
    void intake() {
        QFETCH(ConvertMode, mode);
        QFETCH(bool, panel);
        QFETCH(bool, subfolders);
        QFETCH(QString, made);
        QFETCH(QString, given);
        QFETCH(QString, listed);
        choose(barBox(), mode);
        home->showOptions();
        home->optionsWindow()->includeSubfolders()->setChecked(subfolders);
        const QStringList files = make(made);
        const QStringList paths = given.isEmpty() ? files : QStringList{at(given)};
        QSignalSpy done(home->session(), &ConversionSession::intakeFinished);
        panels.files = paths;
        panel ? home->addFiles() : home->dragDropViewFileList(paths);
        QVERIFY(done.wait(30000));
        QCOMPARE(panels.offered, panel ? ModeTable::panelFileTypes(mode) : QStringList());
        QStringList got = HomeTestKit::listed(*home), expected;
        got.sort();
        for (const QString& name : listed.split(u' '))
            expected.append(at(name));
        QCOMPARE(got, expected);
    }

    // A full list refuses with the intake's alert; images over the pixel limit are left out
    // with one alert however many.
    void listAlerts() {
        QList<Job> full(FileIntake::ListLimit);
        for (qsizetype i = 0; i < full.size(); ++i)
            full[i].path = QStringLiteral("/listed/%1.png").arg(i);
        home->session()->jobs()->appendJobs(full);
        QSignalSpy alerts(home.get(), &HomeView::alertShown);
        const QStringList small = make("small.png");
        home->dragDropViewFileList(small);
        QCOMPARE(alerts.count(), 1);
        QCOMPARE(alerts.at(0).at(0).toString(), FileIntake::listLimitMessage());
        home->clearList();
        const QSize over(MaxImageSide + 1, 1);
        QVERIFY(
            addAndWait(*home, {TestFiles::writeImage(at("wide.png"), "png", over), small[0],
                               TestFiles::writeImage(at("tall.png"), "png", over.transposed())}));
        QCOMPARE(listed(*home), small);
        QCOMPARE(alerts.count(), 2);
        QCOMPARE(alerts.at(1).at(0).toString(), reasonText(Reason::Oversize));
    }

    // A name that looks like markup, in an alert, a row's tool tip and the footer, is shown
    // as the text it is: it can neither hide the real message nor carry a link.
    void namesAreShownAsTheyAre() {
        const QString name("<b>Licence-expired-pay-at-evil.example</b><!--.png");
        QMessageBox* box = AlertSheet::show(home.get(), name);
        QCOMPARE(box->textFormat(), Qt::PlainText);
        QCOMPARE(box->text(), name);
        box->close();
        QVERIFY(addAndWait(*home, {image(name, {8, 8})}));
        // What a tool tip shows: it guesses the format as Qt::mightBeRichText says.
        const QString tip = home->session()->model()->index(0, 0).data(Qt::ToolTipRole).toString();
        QTextDocument shown;
        Qt::mightBeRichText(tip) ? shown.setHtml(tip) : shown.setPlainText(tip);
        QCOMPARE(shown.toPlainText(), home->session()->jobs()->at(0).path);
        QCOMPARE(home->footer()->statusLabel()->textFormat(), Qt::PlainText);
    }

    // Both sliders show the one stored quality, each follows the other and the next view finds
    // the last value; lossless results take no quality. The options window's conversion is
    // stored and shown but keeps the list; the bar's clears a list of another mode.
    void qualityAndModeFromBothPlaces() {
        QVERIFY(addAndWait(*home, make("a.png b.png")));
        Preferences::instance().setQuality(85);
        QSlider* bar = home->optionsBar()->quality()->slider();
        home->showOptions();
        QSlider* options = home->optionsWindow()->quality()->slider();
        QVERIFY(bar->value() == 85 && options->value() == 85);
        options->setValue(42);
        QCOMPARE(bar->value(), 42);
        QVERIFY(home->optionsBar()->quality()->valueLabel()->text().contains(u"42"));
        bar->setValue(70);
        QCOMPARE(options->value(), 70);
        QCOMPARE(HomeView().optionsBar()->quality()->slider()->value(), 70);
        choose(home->optionsWindow()->modeBox(), ConvertMode::WebpToPng);
        QCOMPARE(barBox()->mode(), ConvertMode::WebpToPng);
        QVERIFY(!options->isEnabled() && !bar->isEnabled());
        choose(barBox(), ConvertMode::WebpToPng);
        QCOMPARE(home->session()->jobs()->count(), 2);
        choose(barBox(), ConvertMode::WebpToJpg);
        QCOMPARE(home->session()->jobs()->count(), 0);
        QCOMPARE(Preferences::instance().mode(), ConvertMode::WebpToJpg);
        QVERIFY(bar->isEnabled());
    }

    // The bar's preset box: choosing one applies it (the bar shows its conversion and, as the
    // bar's conversion box does, a list of other files is cleared); saving,
    // renaming and deleting rewrite the file; a file with a mistake is told by its line and
    // never rewritten.
    void presetBox() {
        QFile::remove(PresetFile::path());
        home = std::make_unique<HomeView>();
        PresetBox* presets = home->optionsBar()->presetBox();
        QStringList answers; // the name panel's, in turn
        presets->askName = [&](QWidget*, const QString&, const QString&,
                               const PresetBox::NameReply& reply) { reply(answers.takeFirst()); };
        QVERIFY(addAndWait(*home, make("a.png")));
        const int share = presets->box()->findText(QStringLiteral("Share"));
        presets->box()->setCurrentIndex(share);
        Q_EMIT presets->box()->activated(share);
        QCOMPARE(barBox()->mode(), ConvertMode::WebpToJpg);
        QCOMPARE(Preferences::instance().longestSide(), 1600);
        QCOMPARE(listed(*home), QStringList());
        Preferences::instance().setQuality(33);
        answers = QStringList{"Mine", " Renamed "};
        presets->saveAsAction()->trigger();
        presets->renameAction()->trigger();
        const auto names = [] {
            QStringList names;
            for (const Preset& preset : PresetFile::load().presets)
                names << preset.name + u'=' + QString::number(preset.quality.value_or(-1));
            return names;
        };
        QCOMPARE(names(), QStringList({"Web=80", "Archive=100", "Share=85", "Renamed=33"}));
        presets->deleteAction()->trigger();
        QCOMPARE(names(), QStringList({"Web=80", "Archive=100", "Share=85"}));

        const QByteArray mistake("[A]\nquality = lots\n");
        TestFiles::writeBytes(PresetFile::path(), mistake);
        QSignalSpy alerts(home.get(), &HomeView::alertShown);
        answers = QStringList{"Other"};
        presets->saveAsAction()->trigger();
        QVERIFY(alerts.size() == 1 &&
                alerts[0][0].toString().startsWith(PresetFile::path() + ", line 2: "));
        QVERIFY(!presets->saveAsAction()->isEnabled());
        QCOMPARE(TestFiles::head(PresetFile::path(), 64), mistake);
    }
};

QTEST_MAIN(HomeViewTest)
#include "tst_homeview.moc"
