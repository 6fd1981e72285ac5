#include "JobTableView.h"

#include "Job.h"
#include "JobRowDelegate.h"
#include "JobTableModel.h"
#include "StateMarks.h"
#include "Theme.h"
#include "ToolbarIcons.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
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

    thumbnailRange_.setSingleShot(true);
    thumbnailRange_.setInterval(0);
    connect(&thumbnailRange_, &QTimer::timeout, this, &JobTableView::requestThumbnails);
    const auto rangeMayHaveMoved = [this] { thumbnailRange_.start(); };
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, rangeMayHaveMoved);
    connect(model, &QAbstractItemModel::rowsInserted, this, rangeMayHaveMoved);
    connect(model, &QAbstractItemModel::rowsRemoved, this, rangeMayHaveMoved);
    connect(model, &QAbstractItemModel::modelReset, this, rangeMayHaveMoved);
}

void JobTableView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    thumbnailRange_.start();
}

void JobTableView::showEvent(QShowEvent* event) {
    QTableView::showEvent(event);
    thumbnailRange_.start();
}

void JobTableView::requestThumbnails() {
    const int rows = model_->rowCount();
    if (rows == 0 || !isVisible())
        return;
    const int height = viewport()->height();
    const int page = qMax(1, height / Theme::rowHeight());
    const int first = qMax(0, rowAt(0));
    int last = rowAt(height - 1);
    if (last < 0)
        last = rows - 1;
    const QSize side = JobRowDelegate::badgeRect({0, 0, height, Theme::rowHeight()}).size();
    model_->thumbnails()->showRows(first - page, last + page, side * devicePixelRatioF());
}

void JobTableView::contextMenuEvent(QContextMenuEvent* event) {
    const bool keyboard = event->reason() != QContextMenuEvent::Mouse;
    const QPersistentModelIndex index(keyboard ? currentIndex() : indexAt(event->pos()));
    const Job* job = model_->job(index.row());
    if (job == nullptr)
        return;
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* compare = menu->addAction(tr("&Compare with Result"));
    compare->setEnabled(job->state == JobState::Converted && !job->outputPath.isEmpty());
    connect(compare, &QAction::triggered, this, [this, index] {
        if (index.isValid())
            Q_EMIT compareRequested(index.row());
    });
    menu->popup(keyboard ? viewport()->mapToGlobal(visualRect(index).center())
                         : event->globalPos());
    // From the keyboard, Enter then chooses it at once.
    if (keyboard)
        menu->setActiveAction(compare);
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
