#pragma once
#include <QStyledItemDelegate>

#include <functional>

// Paints one job row, 80 px high: a format badge, the name, the full path, the size, the state
// mark ("completed", "alert", or the spinner while converting) and a delete button. Nothing is
// a widget, so ten thousand rows cost no more than the visible ones.
class TessaroCell : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TessaroCell(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Called with the row whose delete button was clicked.
    std::function<void(qint64 row)> onDeleteRequested;
    // The delete button's action: hands the row to onDeleteRequested when it is set.
    void removeJob(qint64 row);

    // Rows cannot be deleted while a run holds the list; the button is drawn dimmed then.
    void setDeleteEnabled(bool enabled) { deleteEnabled_ = enabled; }
    bool deleteEnabled() const { return deleteEnabled_; }
    void setSpinnerStep(int step) { spinnerStep_ = step; }

    static QRect deleteButtonRect(const QRect& row);
    static QRect markRect(const QRect& row);

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    bool deleteEnabled_ = true;
    int spinnerStep_ = 0;
};
