#pragma once
#include <QTableView>
#include <QTimer>

class JobTableModel;
class TessaroCell;

// The file table: one column of 80 px rows painted by TessaroCell. With no rows it shows
// where to drop files; while jobs convert it turns their spinners.
class JobTableView : public QTableView {
    Q_OBJECT
public:
    explicit JobTableView(JobTableModel* model, QWidget* parent = nullptr);

    TessaroCell* cell() const { return cell_; }
    // Drawn while a drag of files hovers over the drop area.
    void setDropHighlight(bool on);
    bool isSpinning() const { return spinner_.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void spinnerTick();
    void updateSpinner(int convertingCount);

    JobTableModel* model_;
    TessaroCell* cell_;
    QTimer spinner_;
    int step_ = 0;
    bool dropHighlight_ = false;
};
