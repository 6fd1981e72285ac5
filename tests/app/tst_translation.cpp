// The window in German: run with LANGUAGE=de and the translators loaded the way the
// application loads them, the main window (menus, toolbar, home view, a listed file), the
// options window and the closing alert show no text left in English. Every text is compared
// with the same widget's text built before the translators were installed.
#include "AlertSheet.h"
#include "AppDelegate.h"
#include "FileIntake.h"
#include "HomeViewController.h"
#include "JobList.h"
#include "JobTableView.h"
#include "MainWindowController.h"
#include "OptionsWindow.h"
#include "RunReport.h"
#include "Settings.h"
#include "SettingsKeys.h"
#include "TestFiles.h"
#include "Translations.h"
#include "WindowTexts.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

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
        QString::fromLatin1(widget->metaObject()->className()) + u' ' + widget->objectName();
    if (widget->isWindow())
        note(texts, where + QStringLiteral(" title"), widget->windowTitle());
    note(texts, where + QStringLiteral(" tool tip"), widget->toolTip());
    note(texts, where + QStringLiteral(" accessible name"), widget->accessibleName());
    note(texts, where + QStringLiteral(" accessible description"), widget->accessibleDescription());
    if (auto* label = qobject_cast<QLabel*>(widget))
        note(texts, where, label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        note(texts, where, button->text());
    if (auto* box = qobject_cast<QComboBox*>(widget)) {
        for (int i = 0; i < box->count(); ++i)
            note(texts, where + QStringLiteral(" item"), box->itemText(i));
    }
    for (QAction* action : widget->actions()) {
        note(texts, where + QStringLiteral(" action"), action->text());
        note(texts, where + QStringLiteral(" action tip"), action->toolTip());
    }
    if (auto* menu = qobject_cast<QMenu*>(widget))
        note(texts, where + QStringLiteral(" menu"), menu->title());
}

// The menu bar's and the toolbar's overflow menus repeat items that do not fit, which depends
// on the texts' widths.
bool inOverflowMenu(const QWidget* widget) {
    if (const auto* menu = qobject_cast<const QMenu*>(widget)) {
        const auto* bar = qobject_cast<const QMenuBar*>(menu->parentWidget());
        if (bar != nullptr && !bar->actions().contains(menu->menuAction()))
            return true;
    }
    for (; widget != nullptr; widget = widget->parentWidget()) {
        if (widget->objectName() == QLatin1String("qt_menubar_ext_button") ||
            widget->inherits("QToolBarExtension"))
            return true;
    }
    return false;
}

QList<Text> collect(const QList<QWidget*>& windows) {
    QList<Text> texts;
    for (QWidget* window : windows) {
        collectWidget(texts, window);
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            if (!inOverflowMenu(widget))
                collectWidget(texts, widget);
        }
    }
    return texts;
}

// Texts that read the same in German.
bool sameInGerman(const QString& text) {
    static const QStringList words{"OK", "WebP", "PNG", "JPG", "GIF", "Tessaro Pro", "Info"};
    static const QRegularExpression letters(QStringLiteral("[A-Za-z]"));
    return words.contains(text) || !text.contains(letters) || text.startsWith(u'/');
}

} // namespace

class TranslationTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QList<Text> english;

    // The windows as a user sees them after adding one file, with a failed run's alert.
    QList<Text> showWindows() {
        MainWindowController window;
        AppDelegate delegate(&window);
        window.resize(1400, 800);
        window.show();
        HomeViewController* home = window.homeViewController();
        QSignalSpy added(home, &HomeViewController::intakeFinished);
        home->dragDropViewFileList({TestFiles::writeImage(dir.filePath("photo.png"), "png")});
        if (!added.wait(20000) || home->jobList()->count() != 1)
            return {};
        OptionsWindow options(&window);
        options.show();
        RunReport report;
        report.failed = true;
        for (int i = 0; i < ClosingTexts::ListedFailures + 2; ++i)
            report.failedJobs.append({QStringLiteral("/x/%1.webp").arg(i), {}, {}});
        const ClosingReport closing = WindowTexts::closingReport(report);
        QMessageBox* alert = AlertSheet::show(&window, closing.text.split(u'\n').last(),
                                              QMessageBox::Warning, closing.title);
        QList<Text> texts = collect({&window, &options, alert});
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(home->tableView());
        note(texts, QStringLiteral("row"),
             table->tableInterface()->cellAt(0, 0)->text(QAccessible::Name));
        alert->close();
        return texts;
    }

private Q_SLOTS:
    void initTestCase() {
        QSettings().clear();
        Settings::setValue(SettingsKeys::Format, QStringLiteral("2")); // takes PNG files
        QVERIFY(dir.isValid());
    }

    // Before any translator: the window's copies of the intake's and the engine's messages
    // are exactly the command line's English texts.
    void englishIsTheSourceText() {
        QCOMPARE(WindowTexts::uploadLimitMessage(FileIntake::UploadCount),
                 FileIntake::uploadLimitMessage());
        QCOMPARE(WindowTexts::oversizeMessage(), FileIntake::oversizeMessage());
        using Kind = RunFailure::Kind;
        for (const QList<Kind>& kinds :
             QList<QList<Kind>>{{},
                                {Kind::SilentTool},
                                {Kind::AnimatedWebp},
                                {Kind::Reported, Kind::SilentTool},
                                QList<Kind>(ClosingTexts::ListedFailures + 2, Kind::Reported)}) {
            RunReport report;
            report.failed = !kinds.isEmpty();
            for (Kind kind : kinds)
                report.failedJobs.append(
                    {QStringLiteral("/x/a.webp"), QStringLiteral("bad"), kind});
            const ClosingReport window = WindowTexts::closingReport(report);
            const ClosingReport engine = closingReport(report);
            QCOMPARE(window.text, engine.text);
            QCOMPARE(window.title, engine.title);
        }
        english = showWindows();
        QVERIFY(english.size() > 60);
    }

    void germanLeavesNothingInEnglish() {
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

    // An English preference ahead of German keeps the texts' own language.
    void englishFirstLoadsNothing() {
        QCOMPARE(Translations::install(*qApp, {QStringLiteral("en-GB"), QStringLiteral("de")}),
                 QString());
        QCOMPARE(Translations::install(*qApp, {QStringLiteral("xx")}), QString());
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
