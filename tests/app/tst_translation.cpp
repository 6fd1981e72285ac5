// The window in German: run with LANGUAGE=de and the translators loaded the way the
// application loads them, the main window (menus, toolbar, home view, a listed file), the
// options window (with an aim set, so its "Size and quality" group and the bar's aim line are
// filled) and the closing alert show no text left in English, nor a row whose source was kept.
// Every text is compared with the same widget's text built before the translators were installed.
#include "AlertSheet.h"
#include "AppDelegate.h"
#include "JobList.h"
#include "Preferences.h"
#include "Preset.h"
#include "RunReport.h"
#include "TestFiles.h"
#include "Translations.h"

#include <QAccessible>
#include <QApplication>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Text {
    QString where;
    QString text;
};

void note(QList<Text>& texts, const QString& where, QString text) {
    text.remove(u'&');
    if (!text.isEmpty())
        texts.append({where, text});
}

void collectWidget(QList<Text>& texts, QWidget* widget) {
    const QString where =
        QLatin1String(widget->metaObject()->className()) + u' ' + widget->objectName() + u' ';
    if (widget->isWindow())
        note(texts, where + QStringLiteral("window title"), widget->windowTitle());
    for (const char* property :
         {"toolTip", "accessibleName", "accessibleDescription", "text", "title"})
        note(texts, where + QLatin1String(property), widget->property(property).toString());
    if (auto* box = qobject_cast<QComboBox*>(widget))
        for (int i = 0; i < box->count(); ++i)
            note(texts, where + QStringLiteral("item"), box->itemText(i));
    for (QAction* action : widget->actions()) {
        note(texts, where + QStringLiteral("action"), action->text());
        note(texts, where + QStringLiteral("action tip"), action->toolTip());
    }
}

// The menu bar's and the toolbar's overflow menus repeat items that do not fit, which depends
// on the texts' widths.
bool inOverflowMenu(const QWidget* widget) {
    if (const auto* menu = qobject_cast<const QMenu*>(widget)) {
        const auto* bar = qobject_cast<const QMenuBar*>(menu->parentWidget());
        if (bar != nullptr && !bar->actions().contains(menu->menuAction()))
            return true;
    }
    for (; widget != nullptr; widget = widget->parentWidget())
        if (widget->objectName() == QLatin1String("qt_menubar_ext_button") ||
            widget->inherits("QToolBarExtension"))
            return true;
    return false;
}

QList<Text> collect(const QList<QWidget*>& windows) {
    QList<Text> texts;
    for (QWidget* window : windows) {
        collectWidget(texts, window);
        for (QWidget* widget : window->findChildren<QWidget*>())
            if (!inOverflowMenu(widget))
                collectWidget(texts, widget);
    }
    return texts;
}

// Texts that read the same in German. Preset names are names, the shipped ones too: the
// command line is given them.
bool sameInGerman(const QString& text) {
    static const QStringList words{"OK", "WebP", "PNG", "JPG", "GIF", "Tessaro Pro", "Info"};
    static const QRegularExpression letters(QStringLiteral("[A-Za-z]"));
    static const QRegularExpression measure(QStringLiteral("^[\\d.,\\s]+(kB|px)$"));
    return words.contains(text) || findPreset(Preset::defaults(), text) != nullptr ||
           !text.contains(letters) || text.startsWith(u'/') || text.contains(measure);
}

} // namespace

class TranslationTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QList<Text> english;

    // The windows as a user sees them after adding one file, with a failed run's alert (each
    // of its lines on its own, so one line left in English shows).
    QList<Text> showWindows() {
        MainWindow window;
        AppDelegate delegate(&window);
        window.resize(1400, 800);
        window.show();
        HomeView* home = window.homeView();
        QSignalSpy added(home->session(), &ConversionSession::intakeFinished);
        home->dragDropViewFileList({TestFiles::writeImage(dir.filePath("photo.png"), "png")});
        if (!added.wait(20000) || home->session()->jobs()->count() != 1)
            return {};
        Job kept = home->session()->jobs()->at(0);
        kept.reason = Reason::NotSmaller;
        home->session()->jobs()->updateJob(0, kept);
        OptionsWindow options(&window);
        options.show();
        RunReport report;
        for (int i = 0; i < ListedFailures + 2; ++i)
            report.failedJobs.append({QStringLiteral("/x/%1.webp").arg(i), Reason::ToolFailed, {}});
        const ClosingReport closing = closingReport(report);
        QMessageBox* alert =
            AlertSheet::show(&window, closing.text, QMessageBox::Warning, closing.title);
        QList<Text> texts = collect({&window, &options});
        note(texts, QStringLiteral("alert title"), alert->windowTitle());
        for (const QString& line : closing.text.split(u'\n'))
            note(texts, QStringLiteral("alert line"), line.section(QLatin1String(": "), -1));
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(home->tableView());
        note(texts, QStringLiteral("row"),
             table->tableInterface()->cellAt(0, 0)->text(QAccessible::Name));
        alert->close();
        return texts;
    }

private Q_SLOTS:
    void initTestCase() {
        QSettings().clear();
        Preferences::instance().setMode(ConvertMode::ImageToWebp); // takes PNG files
        Preferences::instance().setAimKind(Aim::Kind::FileSize);
        Preferences::instance().setLongestSide(2048);
        Preferences::instance().setMinimumSaving(10);
        QVERIFY(dir.isValid());
        english = showWindows();
        QVERIFY(english.size() > 60);
    }

    // An English preference ahead of German keeps the texts' own language; German first
    // leaves nothing in English.
    void germanLeavesNothingInEnglish() {
        QCOMPARE(Translations::install(*qApp, {QStringLiteral("en-GB"), QStringLiteral("de")}),
                 QString());
        QCOMPARE(Translations::install(*qApp, {QStringLiteral("xx")}), QString());
        QCOMPARE(Translations::install(*qApp, QLocale().uiLanguages()), QStringLiteral("de"));
        const QList<Text> german = showWindows();
        QCOMPARE(german.size(), english.size());
        QStringList left;
        for (qsizetype i = 0; i < german.size(); ++i) {
            QCOMPARE(german[i].where, english[i].where);
            if (german[i].text == english[i].text && !sameInGerman(english[i].text))
                left.append(english[i].where + QStringLiteral(": ") + english[i].text);
        }
        QVERIFY2(left.isEmpty(), qPrintable(left.join(u'\n')));
        // Qt's own texts come from Qt's translation.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Close"),
                 QStringLiteral("Schließen"));
    }

    // Texts not on these windows (account windows, the about box) are translated as well.
    void translationFileIsComplete() {
        QFile ts(QStringLiteral(TESSARO_TS_FILE));
        QVERIFY(ts.open(QIODevice::ReadOnly));
        const QByteArray content = ts.readAll();
        QVERIFY(content.count("<source>") > 100);
        QCOMPARE(content.count("type=\"unfinished\""), qsizetype(0));
        QCOMPARE(content.count("<translation></translation>"), qsizetype(0));
        QVERIFY(QFile::exists(Translations::directory() + QStringLiteral("/tessaro-pro_de.qm")));
    }
};

int main(int argc, char* argv[]) {
    // The language must be known before the application reads the locale.
    qputenv("LANGUAGE", "de");
    QApplication app(argc, argv);
    TranslationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_translation.moc"
