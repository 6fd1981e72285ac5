#pragma once
#include <QLabel>
#include <QPointer>
#include <QWidget>

// A slim rounded bar: a track, a part filled in proportion to the jobs done, and a centred
// "12 of 40" over it.
class ProgressBar : public QWidget {
    Q_OBJECT
public:
    explicit ProgressBar(QWidget* parent = nullptr);

    void setProgress(qsizetype done, qsizetype total);
    qsizetype done() const { return done_; }
    qsizetype total() const { return total_; }
    QString text() const { return label_->text(); }
    // Filled width for the current value; 0 while there is nothing to do.
    int filledWidth() const;

    QSize sizeHint() const override { return {240, 22}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPointer<QLabel> label_;
    qsizetype done_ = 0;
    qsizetype total_ = 0;
};
