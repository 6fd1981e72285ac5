// The window without a mouse and through a screen reader: list keys, start and cancel keys,
// and the accessible names and descriptions of rows and controls.
#include "HomeViewController.h"
#include "InfoWindow.h"
#include "JobList.h"
#include "JobTableModel.h"
#include "LoginWindowController.h"
#include "MainWindowController.h"
#include "MyProfileWindowController.h"
#include "OptionsWindow.h"
#include "PicModel.h"
#include "RatingInvitation.h"
#include "RunCounter.h"
#include "Settings.h"
#include "SettingsKeys.h"
#include "TestFiles.h"

#include <QAbstractSlider>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

class KeyboardTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<HomeViewController> home;
    int panelsShown = 0;

    QString at(const QString& name) const { return dir->filePath(name); }
    JobTableView* table() const { return home->tableView(); }
    QStringList listed() const { return home->jobList()->pathArr(); }
    QList<int> selectedRows() const {
        QList<int> rows;
        for (const QModelIndex& index : table()->selectionModel()->selectedRows())
            rows.append(index.row());
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    QStringList add(int count, QSize size = {8, 8}) {
        QStringList paths;
        for (int i = 0; i < count; ++i)
            paths.append(TestFiles::writeImage(at(QStringLiteral("p%1.png").arg(i)), "png", size));
        QSignalSpy done(home.get(), &HomeViewController::intakeFinished);
        home->dragDropViewFileList(paths);
        return done.wait(30000) ? paths : QStringList();
    }
    void setJob(int row, qint64 state, const QString& errorText = {}, const QString& output = {}) {
        PicModel job = home->jobList()->at(row);
        job.completed = state;
        job.errorText = errorText;
        job.outputPath = output;
        home->jobList()->updateJob(row, job);
    }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    QAccessibleInterface* cell(int row) const {
        QAccessibleInterface* view = QAccessible::queryAccessibleInterface(table());
        return view != nullptr && view->tableInterface() != nullptr
                   ? view->tableInterface()->cellAt(row, 0)
                   : nullptr;
    }

private Q_SLOTS:
    void init() {
        QSettings().clear();
        RunCounter::resetAtLaunch();
        Settings::setValue(SettingsKeys::Format, QStringLiteral("2"));
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        QVERIFY(QDir().mkpath(at("out")));
        home = std::make_unique<HomeViewController>();
        panelsShown = 0;
        home->chooseOutputDirectory = [this](QWidget*,
                                             const HomeViewController::FolderReply& reply) {
            ++panelsShown;
            reply(at("out"));
        };
        home->resize(900, 640);
        home->show();
        QApplication::setActiveWindow(home.get());
        QVERIFY(QTest::qWaitForWindowActive(home.get()));
    }
    void cleanup() { home.reset(); }

    void tabReachesEveryControlInReadingOrder() {
        QCOMPARE(add(2).size(), 2);
        table()->setFocus();
        QStringList order{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < 5; ++i) {
            key(Qt::Key_Tab);
            order.append(QApplication::focusWidget()->objectName());
        }
        QCOMPARE(order, QStringList({"tableView", "comboBox", "ratioSlider", "keepDate",
                                     "optionsButton", "submitBtn"}));
    }

    void arrowsShiftCtrlAndSelectAll() {
        QCOMPARE(add(5).size(), 5);
        table()->setFocus();
        table()->setCurrentIndex(home->tableModel()->index(0, 0));
        key(Qt::Key_Down);
        QCOMPARE(selectedRows(), QList<int>({1}));
        key(Qt::Key_Down, Qt::ShiftModifier);
        key(Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(selectedRows(), QList<int>({1, 2, 3}));
        // Ctrl moves the current row without touching the selection; Ctrl+Space adds it.
        key(Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(table()->currentIndex().row(), 4);
        QCOMPARE(selectedRows(), QList<int>({1, 2, 3}));
        key(Qt::Key_Up, Qt::ControlModifier);
        key(Qt::Key_Up, Qt::ControlModifier);
        key(Qt::Key_Up, Qt::ControlModifier);
        key(Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(selectedRows(), QList<int>({2, 3}));
        key(Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(selectedRows(), QList<int>({0, 1, 2, 3, 4}));
    }

    void deleteRemovesTheSelectedRows() {
        const QStringList paths = add(5);
        QCOMPARE(paths.size(), 5);
        table()->setFocus();
        table()->setCurrentIndex(home->tableModel()->index(1, 0));
        key(Qt::Key_Down, Qt::ShiftModifier);
        key(Qt::Key_Delete);
        QCOMPARE(listed(), QStringList({paths[0], paths[3], paths[4]}));
        // The row after the removed ones is current and selected: Delete again goes on.
        QCOMPARE(selectedRows(), QList<int>({1}));
        key(Qt::Key_Delete);
        QCOMPARE(listed(), QStringList({paths[0], paths[4]}));
        key(Qt::Key_A, Qt::ControlModifier);
        key(Qt::Key_Delete);
        QVERIFY(listed().isEmpty());
        QVERIFY(!home->submitBtn()->isEnabled());
        key(Qt::Key_Delete); // nothing left, nothing happens
    }

    void enterShowsTheReasonOfAFailedRow_data() {
        QTest::addColumn<qint64>("state");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("alert"); // "" = no alert; "@" stands for the file's path
        auto row = [](const char* tag, qint64 state, const char* reason, const char* alert) {
            QTest::newRow(tag) << state << QString(reason) << QString(alert);
        };
        row("failed", JobState::Failed, "cwebp: p1.png: bad header", "cwebp: p1.png: bad header");
        row("failed without reason", JobState::Failed, "", "@ could not be converted.");
        row("converted", JobState::Converted, "", "");
        row("waiting", JobState::Waiting, "", "");
    }
    void enterShowsTheReasonOfAFailedRow() {
        QFETCH(qint64, state);
        QFETCH(QString, reason);
        QFETCH(QString, alert);
        const QStringList paths = add(2);
        setJob(1, state, reason);
        QSignalSpy alerts(home.get(), &HomeViewController::alertShown);
        table()->setFocus();
        table()->setCurrentIndex(home->tableModel()->index(1, 0));
        key(Qt::Key_Return);
        if (alert.isEmpty()) {
            QCOMPARE(alerts.count(), 0);
            return;
        }
        QCOMPARE(alerts.count(), 1);
        QCOMPARE(alerts.at(0).at(0).toString(), alert.replace(u'@', paths[1]));
    }

    void ctrlReturnStartsOnlyWhenTheButtonWould() {
        table()->setFocus();
        key(Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(panelsShown, 0); // empty list: the start button is off
        QCOMPARE(add(1).size(), 1);
        home->chooseOutputDirectory = [this](QWidget*,
                                             const HomeViewController::FolderReply& reply) {
            ++panelsShown;
            reply(QString()); // the folder panel cancelled
        };
        home->comboBox()->setFocus();
        key(Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(panelsShown, 1);
        key(Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
        QCOMPARE(panelsShown, 2);
    }

    void escapeCancelsARunAndDeleteIsRefusedDuringIt() {
        key(Qt::Key_Escape); // no run: nothing happens
        const QStringList paths = add(10, {1600, 1200});
        QCOMPARE(paths.size(), 10);
        QSignalSpy finished(home.get(), &HomeViewController::runFinished);
        table()->setFocus();
        key(Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(home->isRunning());
        key(Qt::Key_A, Qt::ControlModifier);
        key(Qt::Key_Delete);
        QCOMPARE(listed(), paths);
        QVERIFY(home->statusLabel()->text().contains("cannot change"));
        key(Qt::Key_Escape);
        QVERIFY(finished.wait(60000));
        QVERIFY(finished.at(0).at(0).value<RunReport>().cancelled);
        QVERIFY(!home->isRunning());
    }

    void rowsReadNameSizeAndState_data() {
        QTest::addColumn<qint64>("state");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("name");        // after "p0.png, <size>, "
        QTest::addColumn<QString>("description"); // "@" stands for the file's path
        auto row = [](qint64 state, const char* reason, const char* output, const char* name,
                      const char* description) {
            QTest::newRow(name) << state << QString(reason) << QString(output) << QString(name)
                                << QString(description);
        };
        row(JobState::Waiting, "", "", "waiting", "@");
        row(JobState::Converting, "", "", "converting", "@");
        row(JobState::Converted, "", "/out/p0.webp", "converted", "@, converted to /out/p0.webp");
        row(JobState::Failed, "dwebp: p0.png: not a WebP file", "",
            "failed: dwebp: p0.png: not a WebP file", "@");
    }
    void rowsReadNameSizeAndState() {
        QFETCH(qint64, state);
        QFETCH(QString, reason);
        QFETCH(QString, output);
        QFETCH(QString, name);
        QFETCH(QString, description);
        const QStringList paths = add(2);
        setJob(0, state, reason, output);
        const QString size =
            home->tableModel()->index(0, 0).data(JobTableModel::SizeTextRole).toString();
        QVERIFY(size.endsWith(" KB"));
        QAccessibleInterface* row = cell(0);
        QVERIFY(row != nullptr);
        QCOMPARE(row->text(QAccessible::Name), QStringLiteral("p0.png, %1, %2").arg(size, name));
        QCOMPARE(row->text(QAccessible::Description), description.replace(u'@', paths[0]));
        QVERIFY(cell(1)->text(QAccessible::Name).endsWith(", waiting"));
    }

    void everyControlHasANameAndADescription() {
        home.reset();
        MainWindowController window;
        OptionsWindow options(&window);
        InfoWindow info(&window);
        LoginWindowController login(&window);
        MyProfileWindowController profile(&window);
        RatingInvitation invitation(window.homeViewController());
        window.show();
        for (QWidget* dialog : std::initializer_list<QWidget*>{&options, &info, &login, &profile})
            dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(&profile));
        QStringList unnamed;
        int checked = 0;
        for (QWidget* root :
             std::initializer_list<QWidget*>{&window, &options, &info, &login, &profile}) {
            for (QWidget* widget : root->findChildren<QWidget*>()) {
                const bool control =
                    qobject_cast<QAbstractButton*>(widget) || qobject_cast<QComboBox*>(widget) ||
                    qobject_cast<QLineEdit*>(widget) || qobject_cast<QAbstractSlider*>(widget) ||
                    qobject_cast<QAbstractItemView*>(widget);
                if (!control || !widget->isVisibleTo(root) || qobject_cast<QScrollBar*>(widget) ||
                    widget->inherits("QToolBarExtension"))
                    continue;
                QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
                QVERIFY(face != nullptr);
                ++checked;
                if (face->text(QAccessible::Name).isEmpty() ||
                    face->text(QAccessible::Description).isEmpty())
                    unnamed.append(widget->metaObject()->className() + QStringLiteral(" ") +
                                   widget->objectName() + QStringLiteral(" '") +
                                   face->text(QAccessible::Name) + u'\'');
            }
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u'\n')));
        QVERIFY(checked >= 27); // toolbar 5, home 8, options 3, about 1, login 6, profile 4
    }
};

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
