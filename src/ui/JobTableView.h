#pragma once
#include <QTableView>
#include <QTimer>

class JobTableModel;
class JobRowDelegate;

// The file table: one column of 80 px rows painted by JobRowDelegate. With no rows it shows
// where to drop files; while jobs convert it turns their spinners. It asks for the thumbnails
// of the rows on screen and a page either side, whenever that range may have moved.
class JobTableView : public QTableView {
    Q_OBJECT
public:
    explicit JobTableView(JobTableModel* model, QWidget* parent = nullptr);

    JobRowDelegate* rowDelegate() const { return delegate_; }
    // Rows cannot be deleted while a run holds the list; their buttons are drawn dimmed then.
    void setDeleteEnabled(bool enabled);
    // Drawn while a drag of files hovers over the drop area.
    void setDropHighlight(bool on);
    bool isSpinning() const { return spinner_.isActive(); }

Q_SIGNALS:
    // A row's delete button or its "Show in folder" link was clicked.
    void deleteRequested(int row);
    void showInFolderRequested(int row);
    // "Compare" was chosen in a converted row's context menu.
    void compareRequested(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void spinnerTick();
    void updateSpinner(int convertingCount);
    void requestThumbnails();

    JobTableModel* model_;
    JobRowDelegate* delegate_;
    QTimer spinner_;
    // Many changes in one pass of the event loop (a batch of rows, a scroll) ask once.
    QTimer thumbnailRange_;
    int step_ = 0;
    bool dropHighlight_ = false;
};
