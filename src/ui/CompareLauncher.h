#pragma once
#include <QObject>
#include <QPointer>
#include <QString>

class CompareWindow;
class JobTableModel;
class JobTableView;
struct Job;

// Opens the comparison of a converted row's source and result (double-click, the row's context
// menu, or the keys the home view hands over) and steps it through the list's converted rows
// without closing; the list's current row follows. The bar's measures are the run's when it
// measured, else they are measured on the decode pool once the pair is asked for.
class CompareLauncher : public QObject {
    Q_OBJECT
public:
    // The window opens over owner's window.
    CompareLauncher(JobTableView* table, JobTableModel* model, QWidget* owner);

    // False (nothing opens) when the row has no result to compare.
    bool open(int row);
    CompareWindow* window() const;
    static bool hasResult(const Job& job);

private:
    void show(const Job& job);
    void step(int direction);

    QPointer<JobTableView> table_;
    QPointer<JobTableModel> model_;
    QWidget* owner_;
    QPointer<CompareWindow> window_;
    QString shownPath_;
    quint64 generation_ = 0; // measures for a pair no longer shown are dropped
};
