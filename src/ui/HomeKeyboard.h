#pragma once
#include <QObject>
#include <QPointer>

class HomeView;

// The home view without a mouse. The list's arrows, Shift/Ctrl extension and Ctrl+A are the
// table view's own; this adds Delete (the selected rows, refused while a run holds the list),
// Enter on a failed row (its reason), Enter or Space on a converted row (the comparison with its
// result), Ctrl+Return (start) and Escape (the cancel button, so a run stops exactly as a click
// on it would stop it).
class HomeKeyboard : public QObject {
    Q_OBJECT
public:
    explicit HomeKeyboard(HomeView* home);

    void removeSelectedRows();
    // False when the current row has not failed (nothing is shown then).
    bool showReasonOfCurrentRow();
    // False when the current row has no result (nothing opens).
    bool compareCurrentRow();
    void start();
    void cancel();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<HomeView> home_;
};
