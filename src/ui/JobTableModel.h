#pragma once
#include "JobList.h"
#include "RowThumbnails.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QSet>

struct Job;

// One row per job of a JobList, one column; the row delegate paints it. The model follows
// the list's own signals, so every change (also a run's per-job updates) reaches the view
// as the smallest matching model signal.
class JobTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role {
        SizeTextRole = Qt::UserRole + 1, // "768.7 kB"
        PathRole,                        // the source's path
        StateRole,                       // the job's JobState
        ExtensionRole,                   // "WEBP", "PNG" ...
        WarningRole,                     // converted with a warning
        ResultTextRole,                  // converted rows: "→ 1.2 MB, −54 %"; else ""
        OutputPathRole,                  // where the last conversion put its result, or ""
        KeptSourceRole, // its result would not have saved enough: the source stays as it is
        ThumbnailRole,  // QImage of the source once decoded; null before or never
        AnimatedRole,   // the source has several frames (its thumbnail shows one)
    };

    explicit JobTableModel(JobList* list, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    const Job* job(int row) const;
    // The row's tooltip: the failure, why the source was kept, or for a result where it went,
    // its pixels, quality and measured SSIM, and what it carries.
    static QString toolTip(const Job& job);
    JobList* jobList() const { return list_; }
    RowThumbnails* thumbnails() const { return thumbnails_; }
    // How many jobs are converting now (the spinner runs while this is above 0).
    int convertingCount() const { return static_cast<int>(converting_.size()); }

Q_SIGNALS:
    void convertingCountChanged(int count);

private:
    void recountConverting();
    void noteState(int row);

    QPointer<JobList> list_;
    RowThumbnails* thumbnails_;
    QSet<QString> converting_; // paths of the jobs in state 2
};
