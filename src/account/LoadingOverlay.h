#pragma once
#include <QPointer>
#include <QWidget>

class QLabel;
class QPropertyAnimation;

// A dimming overlay with a short text over one view while a request runs. It follows the
// view's size and removes itself once hidden.
class LoadingOverlay : public QWidget {
    Q_OBJECT
public:
    static LoadingOverlay* showOver(QWidget* view, const QString& detailText);
    // Hides the overlay currently shown over the view; does nothing when none is shown.
    static void hideOver(QWidget* view);

    QString detailText() const;
    bool isHiding() const { return hiding_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    LoadingOverlay(QWidget* view, const QString& detailText);
    void fadeTo(qreal opacity);
    void hideAnimated();

    QLabel* label_ = nullptr;
    QPointer<QPropertyAnimation> fade_;
    bool hiding_ = false;
};
