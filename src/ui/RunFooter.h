#pragma once
#include "ProgressBar.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

// The line under the options bar: what the list holds or what the last run did, the run's
// progress with its Cancel button, and the start button.
class RunFooter : public QWidget {
    Q_OBJECT
public:
    explicit RunFooter(QWidget* parent = nullptr);

    QLabel* statusLabel() const { return status_; }
    ProgressBar* progressBar() const { return progress_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* startButton() const { return start_; }

    void setStatus(const QString& text) { status_->setText(text); }
    // Shows the progress and Cancel for a run of total jobs, or hides them.
    void showRun(bool running, qsizetype total = 0);
    // "12 of 40"; within a run the figure never goes back.
    void showProgress(qsizetype done, qsizetype total);

Q_SIGNALS:
    void startRequested();
    void cancelRequested();

private:
    QPointer<QLabel> status_;
    QPointer<ProgressBar> progress_;
    QPointer<QPushButton> cancel_;
    QPointer<QPushButton> start_;
    qsizetype shownDone_ = 0;
};
