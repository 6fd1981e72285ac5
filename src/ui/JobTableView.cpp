#include "JobTableView.h"

#include "JobTableModel.h"
#include "PicModel.h"
#include "StateMarks.h"
#include "TessaroCell.h"
#include "Theme.h"
#include "ToolbarIcons.h"

#include <QHeaderView>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>

JobTableView::JobTableView(JobTableModel* model, QWidget* parent)
    : QTableView(parent), model_(model), cell_(new TessaroCell(this)) {
    setModel(model);
    setItemDelegate(cell_);
    horizontalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->hide();
    // Fixed, uniform rows: the view never measures ten thousand rows one by one.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(Theme::RowHeight);
    verticalHeader()->setDefaultSectionSize(Theme::RowHeight);
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
    verticalScrollBar()->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical { width: 12px; background: transparent; margin: 2px 2px 2px 2px; }"
        "QScrollBar::handle:vertical { background: #cdd2d9; border-radius: 4px; min-height: 36px;"
        " margin: 0 2px; }"
        "QScrollBar::handle:vertical:hover { background: #aeb5bf; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
    // Drops are taken by the drop area around the table.
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);

    spinner_.setInterval(80);
    connect(&spinner_, &QTimer::timeout, this, &JobTableView::spinnerTick);
    connect(model, &JobTableModel::convertingCountChanged, this, &JobTableView::updateSpinner);
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
    cell_->setSpinnerStep(step_);
    // Repaint only the marks of visible converting rows.
    const int first = qMax(0, rowAt(0));
    int last = rowAt(viewport()->height() - 1);
    if (last < 0)
        last = model_->rowCount() - 1;
    for (int row = first; row <= last; ++row) {
        const PicModel* job = model_->job(row);
        if (job != nullptr && job->completed == JobState::Converting)
            viewport()->update(TessaroCell::markRect(visualRect(model_->index(row, 0))));
    }
}

void JobTableView::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    if (model_->rowCount() > 0 && !dropHighlight_)
        return;
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(viewport()->rect()).adjusted(14, 14, -14, -14);
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
        QPen(dropHighlight_ ? Theme::accent() : QColor(0xc5, 0xcb, 0xd3), 1.6, Qt::DashLine));
    painter.drawRoundedRect(area, 14, 14);

    const QPointF center = area.center();
    // The toolbar's folder icon at twice its size.
    const QPixmap icon = ToolbarIcons::addFolder().pixmap(QSize(24, 24), 2.0);
    painter.setOpacity(0.8);
    painter.drawPixmap(QRectF(center.x() - 24, center.y() - 70, 48, 48), icon, QRectF(icon.rect()));
    painter.setOpacity(1.0);

    QFont title = font();
    title.setPixelSize(17);
    title.setWeight(QFont::DemiBold);
    painter.setFont(title);
    painter.setPen(Theme::text());
    painter.drawText(QRectF(area.left(), center.y() - 4, area.width(), 26), Qt::AlignCenter,
                     tr("Drop images or folders here"));
    QFont hint = font();
    hint.setPixelSize(13);
    painter.setFont(hint);
    painter.setPen(Theme::secondaryText());
    painter.drawText(QRectF(area.left(), center.y() + 26, area.width(), 22), Qt::AlignCenter,
                     tr("or use Add Files in the toolbar"));
}
