#include "CompareLauncher.h"

#include "CompareWindow.h"
#include "DecodePool.h"
#include "Job.h"
#include "JobTableModel.h"
#include "JobTableView.h"
#include "PairMeasures.h"

#include <QItemSelectionModel>

CompareLauncher::CompareLauncher(JobTableView* table, JobTableModel* model, QWidget* owner)
    : QObject(owner), table_(table), model_(model), owner_(owner) {
    connect(table, &JobTableView::doubleClicked, this,
            [this](const QModelIndex& index) { open(index.row()); });
    connect(table, &JobTableView::compareRequested, this, &CompareLauncher::open);
}

CompareWindow* CompareLauncher::window() const {
    return window_;
}

bool CompareLauncher::hasResult(const Job& job) {
    return job.state == JobState::Converted && !job.outputPath.isEmpty();
}

bool CompareLauncher::open(int row) {
    const Job* job = model_ != nullptr ? model_->job(row) : nullptr;
    if (job == nullptr || !hasResult(*job))
        return false;
    if (window_ == nullptr) {
        window_ = new CompareWindow(owner_->window());
        window_->setAttribute(Qt::WA_DeleteOnClose);
        connect(window_, &CompareWindow::previousRequested, this, [this] { step(-1); });
        connect(window_, &CompareWindow::nextRequested, this, [this] { step(1); });
    }
    show(*job);
    window_->show();
    window_->raise();
    window_->activateWindow();
    return true;
}

void CompareLauncher::show(const Job& job) {
    shownPath_ = job.path;
    const quint64 generation = ++generation_;
    window_->setPair(job.path, job.outputPath);
    if (job.psnr && job.ssim) {
        window_->setMeasures(*job.psnr, *job.ssim);
        return;
    }
    runOnDecodePool(
        this, [source = job.path, result = job.outputPath] { return measurePair(source, result); },
        [this, generation](const ImageMeasures::Measures& measures) {
            if (generation == generation_ && window_ != nullptr)
                window_->setMeasures(measures.psnr, measures.ssim);
        });
}

void CompareLauncher::step(int direction) {
    if (model_ == nullptr || window_ == nullptr)
        return;
    const int count = model_->rowCount();
    // A shown row removed meanwhile: stepping starts from the list's edge.
    int row = int(model_->jobList()->indexOf(shownPath_));
    if (row < 0)
        row = direction > 0 ? -1 : count;
    for (row += direction; row >= 0 && row < count; row += direction) {
        const Job* job = model_->job(row);
        if (hasResult(*job)) {
            show(*job);
            if (table_ != nullptr)
                table_->selectionModel()->setCurrentIndex(model_->index(row, 0),
                                                          QItemSelectionModel::ClearAndSelect |
                                                              QItemSelectionModel::Rows);
            return;
        }
    }
}
