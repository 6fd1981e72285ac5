#include "HomeKeyboard.h"

#include "CompareLauncher.h"

#include "HomeView.h"
#include "JobTableModel.h"
#include "JobTableView.h"
#include "ReasonText.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>

HomeKeyboard::HomeKeyboard(HomeView* home) : QObject(home), home_(home) {
    home->tableView()->installEventFilter(this);
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        auto* shortcut = new QShortcut(keys, home);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, &HomeKeyboard::start);
    }
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), home);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &HomeKeyboard::cancel);
}

bool HomeKeyboard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || home_ == nullptr || watched != home_->tableView())
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (key->key() == Qt::Key_Delete && modifiers == Qt::NoModifier) {
        removeSelectedRows();
        return true;
    }
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        modifiers == Qt::NoModifier)
        return showReasonOfCurrentRow() || compareCurrentRow();
    // Elsewhere Space keeps selecting the current row, as in every list.
    if (key->key() == Qt::Key_Space && modifiers == Qt::NoModifier)
        return compareCurrentRow();
    return QObject::eventFilter(watched, event);
}

void HomeKeyboard::removeSelectedRows() {
    JobTableView* view = home_->tableView();
    QList<int> rows;
    for (const QModelIndex& index : view->selectionModel()->selectedRows())
        rows.append(index.row());
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    if (home_->session()->isRunning()) {
        home_->removeJob(rows.constFirst()); // refused: says why in the footer
        return;
    }
    for (int row : rows)
        home_->removeJob(row);
    // The row that took the first removed one's place becomes current, so Delete can go on.
    const JobTableModel* model = home_->session()->model();
    const int next = qMin(rows.constLast(), model->rowCount() - 1);
    if (next >= 0)
        view->selectionModel()->setCurrentIndex(
            model->index(next, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

bool HomeKeyboard::showReasonOfCurrentRow() {
    const Job* job = home_->session()->model()->job(home_->tableView()->currentIndex().row());
    if (job == nullptr || job->state != JobState::Failed)
        return false;
    home_->showAlert(job->detail.isEmpty() ? tr("%1 could not be converted.").arg(job->path)
                                           : reasonText(job->reason, job->detail));
    return true;
}

bool HomeKeyboard::compareCurrentRow() {
    return home_->comparison()->open(home_->tableView()->currentIndex().row());
}

void HomeKeyboard::start() {
    QPushButton* button = home_->footer()->startButton();
    if (button->isVisible() && button->isEnabled())
        button->click();
}

void HomeKeyboard::cancel() {
    QPushButton* button = home_->footer()->cancelButton();
    if (home_->session()->isRunning() && button->isVisible() && button->isEnabled())
        button->click();
}
