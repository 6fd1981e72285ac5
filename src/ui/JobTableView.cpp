#include "JobTableView.h"

#include "Job.h"
#include "JobRowDelegate.h"
#include "JobTableModel.h"
#include "StateMarks.h"
#include "Theme.h"
#include "ToolbarIcons.h"

#include <QHeaderView>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>

JobTableView::JobTableView(JobTableModel* model, QWidget* parent)
    : QTableView(parent), model_(model), delegate_(new JobRowDelegate(this)) {
    setModel(model);
    setItemDelegate(delegate_);
    horizontalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->hide();
    // Fixed, uniform rows: the view never measures ten thousand rows one by one.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(Theme::rowHeight());
    verticalHeader()->setDefaultSectionSize(Theme::rowHeight());
    setShowGrid(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Arrows move in the list; Tab leaves it for the next control.
    setFocusPolicy(Qt::StrongFocus);
    setTabKeyNavigation(false);
    setMouseTracking(true);
    setWordWrap(false);
    setFrameShape(QFrame::NoFrame);
    verticalScrollBar()->setStyleSheet(
        QStringLiteral(
            "QScrollBar:vertical { width: %1px; background: transparent; margin: 2px; }"
            "QScrollBar::handle:vertical { background: %2; border-radius: %3px;"
            " min-height: %4px; margin: 0 2px; }"
            "QScrollBar::handle:vertical:hover { background: %5; }"
            "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
            "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }")
            .arg(Theme::em(0.75))
            .arg(Theme::mix(Theme::surface(), Theme::text(), 0.25).name())
            .arg(Theme::em(0.25))
            .arg(Theme::em(2.2))
            .arg(Theme::mix(Theme::surface(), Theme::text(), 0.4).name()));
    // Drops are taken by the drop area around the table.
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);

    spinner_.setInterval(80);
    connect(&spinner_, &QTimer::timeout, this, &JobTableView::spinnerTick);
    connect(model, &JobTableModel::convertingCountChanged, this, &JobTableView::updateSpinner);
    connect(delegate_, &JobRowDelegate::deleteRequested, this,
            [this](const QModelIndex& index) { Q_EMIT deleteRequested(index.row()); });
    connect(delegate_, &JobRowDelegate::showInFolderRequested, this,
            [this](const QModelIndex& index) { Q_EMIT showInFolderRequested(index.row()); });
}

void JobTableView::setDeleteEnabled(bool enabled) {
    delegate_->setDeleteEnabled(enabled);
    viewport()->update();
}

void JobTableView::setDropHighlight(bool on) {
    if (dropHighlight_ == on)
        return;
    dropHighlight_ = on;
    viewport()->update();
}

void JobTableView::updateSpinner(int convertingCount) {
    if (convertingCount > 0 && !spinner_.isActive())
        spinner_.start();
    else if (convertingCount == 0)
        spinner_.stop();
}

void JobTableView::spinnerTick() {
    step_ = (step_ + 1) % StateMarks::SpinnerSteps;
    delegate_->setSpinnerStep(step_);
    // Repaint only the marks of visible converting rows.
    const int first = qMax(0, rowAt(0));
    int last = rowAt(viewport()->height() - 1);
    if (last < 0)
        last = model_->rowCount() - 1;
    for (int row = first; row <= last; ++row) {
        const Job* job = model_->job(row);
        if (job != nullptr && job->state == JobState::Converting)
            viewport()->update(JobRowDelegate::markRect(visualRect(model_->index(row, 0))));
    }
}

void JobTableView::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    if (model_->rowCount() > 0 && !dropHighlight_)
        return;
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal inset = Theme::em(0.9);
    const QRectF area = QRectF(viewport()->rect()).adjusted(inset, inset, -inset, -inset);
    if (model_->rowCount() > 0) {
        // Files already listed: a light frame says a drop adds to them.
        painter.setPen(QPen(Theme::accent(), 2, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(viewport()->rect()).adjusted(2, 2, -2, -2), 10, 10);
        return;
    }
    QColor fill = dropHighlight_ ? Theme::selection() : Theme::surface();
    painter.setBrush(fill);
    painter.setPen(
        QPen(dropHighlight_ ? Theme::accent() : Theme::mix(Theme::surface(), Theme::text(), 0.3),
             1.6, Qt::DashLine));
    painter.drawRoundedRect(area, inset, inset);

    const QPointF center = area.center();
    // The toolbar's folder icon, drawn at the size of three text lines.
    const int side = Theme::em(3);
    const QPixmap icon = ToolbarIcons::addFolder().pixmap(QSize(side, side), devicePixelRatioF());
    painter.setOpacity(0.8);
    painter.drawPixmap(QRectF(center.x() - side / 2.0, center.y() - Theme::em(4.4), side, side),
                       icon, QRectF(icon.rect()));
    painter.setOpacity(1.0);

    QFont title = Theme::scaledFont(font(), 1.3);
    title.setWeight(QFont::DemiBold);
    const int titleHeight = QFontMetrics(title).height();
    painter.setFont(title);
    painter.setPen(Theme::text());
    painter.drawText(QRectF(area.left(), center.y() - Theme::em(0.25), area.width(), titleHeight),
                     Qt::AlignCenter, tr("Drop images or folders here"));
    painter.setFont(font());
    painter.setPen(Theme::secondaryText());
    painter.drawText(QRectF(area.left(),
                            center.y() - Theme::em(0.25) + titleHeight + Theme::em(0.4),
                            area.width(), Theme::lineHeight()),
                     Qt::AlignCenter, tr("or use Add Files in the toolbar"));
}
