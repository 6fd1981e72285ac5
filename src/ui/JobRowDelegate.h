#pragma once
#include <QStyledItemDelegate>

// Paints one job row, 80 px high: the source's thumbnail (a format badge until it is decoded,
// or when it cannot be), the name, the full path, the size (with the result's size and saving
// once converted), the state mark (completed, alert, kept for a source whose result would not
// have saved enough, or the spinner while converting), a "Show in folder" link on converted rows
// and a delete button. Nothing is a widget, so ten thousand rows cost no more than the visible
// ones. Clicks become requests; the view's owner decides what they do.
class JobRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit JobRowDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Rows cannot be deleted while a run holds the list; the button is drawn dimmed then.
    void setDeleteEnabled(bool enabled) { deleteEnabled_ = enabled; }
    bool deleteEnabled() const { return deleteEnabled_; }
    void setSpinnerStep(int step) { spinnerStep_ = step; }

    // Where the thumbnail or the format badge goes.
    static QRect badgeRect(const QRect& row);
    static QRect deleteButtonRect(const QRect& row);
    static QRect markRect(const QRect& row);
    static QRect showInFolderRect(const QRect& row);

Q_SIGNALS:
    void deleteRequested(const QModelIndex& index);
    void showInFolderRequested(const QModelIndex& index);

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    static bool showsResult(const QModelIndex& index);

    bool deleteEnabled_ = true;
    int spinnerStep_ = 0;
};
