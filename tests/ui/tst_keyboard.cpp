// The window without a mouse and through a screen reader: Tab, the list's keys, Ctrl+Return,
// and what rows and controls say. Escape and Delete during a run: WindowRunTest.
#include "HomeTestKit.h"
#include "InfoWindow.h"
#include "JobRowDelegate.h"
#include "LoginWindowController.h"
#include "MainWindow.h"
#include "MyProfileWindowController.h"
#include "RatingInvitation.h"
#include "SizeSummary.h"

#include <QAccessible>

using namespace HomeTestKit;

namespace {
bool isControl(const QWidget* widget) {
    if (widget->inherits("QScrollBar") || widget->inherits("QToolBarExtension"))
        return false;
    for (const char* kind :
         {"QAbstractButton", "QComboBox", "QLineEdit", "QAbstractSlider", "QAbstractItemView"})
        if (widget->inherits(kind))
            return true;
    return false;
}
} // namespace

class KeyboardTest : public QObject, HomeCase {
    Q_OBJECT

    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    QStringList add(int count) {
        QStringList paths;
        for (int i = 0; i < count; ++i)
            paths.append(image(QStringLiteral("p%1.png").arg(i)));
        return addAndWait(*home, paths) ? paths : QStringList();
    }
    void setJob(int row, JobState state, const QString& detail = {}) {
        Job job = home->session()->jobs()->at(row);
        job.state = state;
        job.reason = state == JobState::Failed ? Reason::ToolFailed : Reason::None;
        job.detail = detail;
        job.outputPath = state == JobState::Converted ? QStringLiteral("/out/p0.webp") : QString();
        home->session()->jobs()->updateJob(row, job);
    }
    void focusRow(int row) {
        home->tableView()->setFocus();
        home->tableView()->setCurrentIndex(home->session()->model()->index(row, 0));
    }

private Q_SLOTS:
    void init() { QVERIFY(startCase(ConvertMode::ImageToWebp, true)); }
    void cleanup() { home.reset(); }

    void tabReachesEveryControlInReadingOrder() {
        QCOMPARE(add(2).size(), 2);
        home->tableView()->setFocus();
        QStringList order{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < 7; ++i) {
            key(Qt::Key_Tab);
            order.append(QApplication::focusWidget()->objectName());
        }
        QCOMPARE(order, QStringList({"tableView", "modeBox", "qualitySlider", "keepDate",
                                     "presetBox", "presetMenu", "optionsButton", "startButton"}));
    }

    // Delete removes the selected rows and leaves the next one current, so Delete goes on; a
    // row's delete button removes that row, and the next takes its place under the button.
    void deleteRemovesTheSelectedRows() {
        const QStringList paths = add(6);
        QCOMPARE(paths.size(), 6);
        focusRow(1);
        key(Qt::Key_Down, Qt::ShiftModifier);
        key(Qt::Key_Delete);
        QCOMPARE(listed(*home), QStringList({paths[0], paths[3], paths[4], paths[5]}));
        key(Qt::Key_Delete);
        QCOMPARE(listed(*home), QStringList({paths[0], paths[4], paths[5]}));
        JobTableView* table = home->tableView();
        const QPoint button =
            JobRowDelegate::deleteButtonRect(table->visualRect(table->model()->index(1, 0)))
                .center();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, button);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, button);
        QCOMPARE(listed(*home), paths.mid(0, 1));
    }

    // The start button is on exactly when the list has jobs and nothing is busy (a run:
    // WindowRunTest), and Ctrl+Return (or Ctrl+Enter) starts exactly when it is.
    void ctrlReturnStartsOnlyWhenTheButtonWould() {
        const auto pressed = [&](Qt::Key key, Qt::KeyboardModifiers modifiers) {
            const int before = panels.outputPanels;
            QTest::keyClick(home->tableView(), key, modifiers);
            return panels.outputPanels - before;
        };
        QPushButton* start = home->footer()->startButton();
        QVERIFY(!start->isEnabled());
        QCOMPARE(pressed(Qt::Key_Return, Qt::ControlModifier), 0);
        QCOMPARE(add(2).size(), 2);
        QVERIFY(start->isEnabled());
        QCOMPARE(pressed(Qt::Key_Return, Qt::ControlModifier), 1);
        QCOMPARE(pressed(Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier), 1);
        QSignalSpy done(home->session(), &ConversionSession::intakeFinished);
        home->dragDropViewFileList({dir->path()});
        QVERIFY(!start->isEnabled());
        QCOMPARE(pressed(Qt::Key_Return, Qt::ControlModifier), 0);
        QVERIFY(done.wait(30000));
        QVERIFY(start->isEnabled());
        home->clearList();
        QVERIFY(!start->isEnabled());
    }

    // A row reads "name, size, state", a word for each state and a failure's reason; the
    // description is the path, and the result's path once converted. Return on a failed row
    // tells why: the tool's words, or the path when it said nothing.
    void rowsSayTheirState() {
        const QString path = add(1).value(0);
        const QString start =
            QStringLiteral("p0.png, %1, ").arg(SizeSummary::humanBytes(QFileInfo(path).size()));
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(home->tableView());
        QSet<QString> states;
        const std::pair<JobState, QString> rows[] = {{JobState::Waiting, {}},
                                                     {JobState::Converting, {}},
                                                     {JobState::Failed, {}},
                                                     {JobState::Failed, "dwebp: bad"},
                                                     {JobState::Converted, {}}};
        for (const auto& [state, detail] : rows) {
            setJob(0, state, detail);
            QAccessibleInterface* row = table->tableInterface()->cellAt(0, 0);
            const QString name = row->text(QAccessible::Name);
            QVERIFY2(name.startsWith(start) && name.contains(detail), qPrintable(name));
            states.insert(name.mid(start.size()));
            QCOMPARE(row->text(QAccessible::Description).contains(u"/out/p0.webp"),
                     state == JobState::Converted);
            QVERIFY(row->text(QAccessible::Description).startsWith(path));
            QSignalSpy alerts(home.get(), &HomeView::alertShown);
            focusRow(0);
            QTest::keyClick(home->tableView(), Qt::Key_Return);
            QCOMPARE(alerts.count(), state == JobState::Failed ? 1 : 0);
            QVERIFY(alerts.isEmpty() ||
                    alerts.at(0).at(0).toString().contains(detail.isEmpty() ? path : detail));
        }
        QCOMPARE(states.size(), 5);
    }

    void everyControlHasANameAndADescription() {
        home.reset();
        MainWindow window;
        OptionsWindow options(&window);
        InfoWindow info(&window);
        LoginWindowController login(&window);
        MyProfileWindowController profile(&window);
        new RatingInvitation(window.homeView());
        const QList<QWidget*> roots{&window, &options, &info, &login, &profile};
        for (QWidget* root : roots)
            root->show();
        QVERIFY(QTest::qWaitForWindowExposed(&profile));
        QStringList unnamed;
        int checked = 0;
        for (QWidget* root : roots) {
            for (QWidget* widget : root->findChildren<QWidget*>()) {
                if (!isControl(widget) || !widget->isVisibleTo(root))
                    continue;
                ++checked;
                QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
                if (face->text(QAccessible::Name).isEmpty() ||
                    face->text(QAccessible::Description).isEmpty())
                    unnamed.append(QLatin1String(widget->metaObject()->className()) + u' ' +
                                   widget->objectName());
            }
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u'\n')));
        QVERIFY(checked >= 25);
    }
};

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
