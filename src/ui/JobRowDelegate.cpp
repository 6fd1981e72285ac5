#include "JobRowDelegate.h"

#include "Job.h"
#include "JobTableModel.h"
#include "StateMarks.h"
#include "Theme.h"
#include "ThumbnailPainter.h"

#include <QAbstractItemView>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
// Every measure follows the font's line height, so rows grow with the user's font size.
int badgeSide() {
    return Theme::em(2.75);
}
int markSide() {
    return Theme::em(1.4);
}
int deleteSide() {
    return Theme::em(1.75);
}
int sizeWidth() {
    return Theme::em(7.75); // room for "→ 1.2 MB, −54 %" under the size
}
int gap() {
    return Theme::em(0.9);
}
int linkWidth() {
    return Theme::em(6.5);
}

QColor badgeColor(const QString& extension) {
    if (extension == QLatin1String("WEBP"))
        return QColor(0x3c, 0x76, 0xdb);
    if (extension == QLatin1String("PNG"))
        return QColor(0x2e, 0x9e, 0x8f);
    if (extension == QLatin1String("JPG") || extension == QLatin1String("JPEG"))
        return QColor(0xe0, 0x8a, 0x2c);
    if (extension == QLatin1String("GIF"))
        return QColor(0x8e, 0x5c, 0xd9);
    return QColor(0x8a, 0x93, 0x9d);
}

void paintBadge(QPainter* painter, const QRect& rect, const QString& extension) {
    QColor color = badgeColor(extension);
    QColor fill = color;
    fill.setAlpha(30);
    painter->setPen(Qt::NoPen);
    painter->setBrush(fill);
    painter->drawRoundedRect(rect, rect.width() * 0.2, rect.width() * 0.2);
    // The mid-tone badge colours need more light to read on a dark base.
    if (Theme::surface().lightness() < 128)
        color = color.lighter(150);
    QFont font = Theme::scaledFont(painter->font(), extension.size() > 3 ? 0.77 : 0.92);
    font.setBold(true);
    painter->setFont(font);
    painter->setPen(color);
    painter->drawText(rect, Qt::AlignCenter,
                      extension.isEmpty() ? QStringLiteral("?") : extension.left(4));
}

void paintDeleteButton(QPainter* painter, const QRect& rect, bool enabled, bool hovered) {
    if (hovered && enabled) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(Theme::mix(Theme::surface(), Theme::failure(), 0.15));
        painter->drawEllipse(rect);
    }
    const QColor color = !enabled  ? Theme::disabledText()
                         : hovered ? Theme::failure()
                                   : Theme::secondaryText();
    painter->setPen(QPen(color, 1.8, Qt::SolidLine, Qt::RoundCap));
    const qreal inset = rect.width() * 0.34;
    const QRectF cross = QRectF(rect).adjusted(inset, inset, -inset, -inset);
    painter->drawLine(cross.topLeft(), cross.bottomRight());
    painter->drawLine(cross.topRight(), cross.bottomLeft());
}

} // namespace

JobRowDelegate::JobRowDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QSize JobRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return {option.rect.width(), Theme::rowHeight()};
}

QRect JobRowDelegate::deleteButtonRect(const QRect& row) {
    const int side = deleteSide();
    return {row.right() - Theme::margin() - side + 1, row.center().y() - side / 2 + 1, side, side};
}

QRect JobRowDelegate::badgeRect(const QRect& row) {
    const int side = badgeSide();
    return {row.left() + Theme::margin(), row.center().y() - side / 2 + 1, side, side};
}

QRect JobRowDelegate::markRect(const QRect& row) {
    const QRect del = deleteButtonRect(row);
    const int side = markSide();
    return {del.left() - gap() - side, row.center().y() - side / 2 + 1, side, side};
}

namespace {
QRect sizeRectOf(const QRect& row) {
    const QRect mark = JobRowDelegate::markRect(row);
    return {mark.left() - Theme::margin() - sizeWidth(), row.top(), sizeWidth(), row.height()};
}
} // namespace

QRect JobRowDelegate::showInFolderRect(const QRect& row) {
    // At the end of the path line, left of the sizes.
    return {sizeRectOf(row).left() - Theme::margin() - linkWidth(), row.center().y() + 2,
            linkWidth(), Theme::lineHeight()};
}

bool JobRowDelegate::showsResult(const QModelIndex& index) {
    return index.data(JobTableModel::StateRole).value<JobState>() == JobState::Converted &&
           !index.data(JobTableModel::OutputPathRole).toString().isEmpty();
}

void JobRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    const QRect row = option.rect;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::TextAntialiasing);

    // Selection and hover tint the background only; the texts keep their colours.
    QColor background = Theme::surface();
    if (option.state & QStyle::State_Selected)
        background = Theme::selection();
    else if (option.state & QStyle::State_MouseOver)
        background = Theme::hover();
    painter->fillRect(row, background);
    const int margin = Theme::margin();
    painter->fillRect(QRect(row.left() + margin, row.bottom(), row.width() - 2 * margin, 1),
                      Theme::separator());

    const QRect badge = badgeRect(row);
    // The source's picture once decoded; the badge before, and for what cannot be decoded.
    const QImage thumbnail = index.data(JobTableModel::ThumbnailRole).value<QImage>();
    if (thumbnail.isNull())
        paintBadge(painter, badge, index.data(JobTableModel::ExtensionRole).toString());
    else
        paintThumbnail(painter, badge, thumbnail, index.data(JobTableModel::AnimatedRole).toBool());

    const QRect mark = markRect(row);
    const QRect sizeRect = sizeRectOf(row);
    const int textLeft = badge.right() + gap();
    const int textWidth = qMax(Theme::em(2.5), sizeRect.left() - margin - textLeft);
    const bool result = showsResult(index);
    const QRect link = showInFolderRect(row);
    // The link takes the end of the path line on converted rows.
    const int pathWidth = result ? qMax(Theme::em(2.5), link.left() - gap() - textLeft) : textWidth;

    QFont nameFont = Theme::scaledFont(option.font, 1.08);
    nameFont.setWeight(QFont::DemiBold);
    const QFont pathFont = Theme::scaledFont(option.font, 0.92);
    const QFontMetrics nameMetrics(nameFont);
    const QFontMetrics pathMetrics(pathFont);
    const int lineGap = Theme::em(0.35);
    const int blockHeight = nameMetrics.height() + lineGap + pathMetrics.height();
    const int top = row.top() + (row.height() - blockHeight) / 2;

    painter->setFont(nameFont);
    painter->setPen(Theme::text());
    const QString name = index.data(Qt::DisplayRole).toString();
    painter->drawText(QRect(textLeft, top, textWidth, nameMetrics.height()),
                      Qt::AlignLeft | Qt::AlignVCenter,
                      nameMetrics.elidedText(name, Qt::ElideMiddle, textWidth));

    painter->setFont(pathFont);
    painter->setPen(Theme::secondaryText());
    const QString path = index.data(JobTableModel::PathRole).toString();
    painter->drawText(
        QRect(textLeft, top + nameMetrics.height() + lineGap, pathWidth, pathMetrics.height()),
        Qt::AlignLeft | Qt::AlignVCenter, pathMetrics.elidedText(path, Qt::ElideMiddle, pathWidth));
    if (result) {
        QFont linkFont = pathFont;
        linkFont.setUnderline(true);
        painter->setFont(linkFont);
        painter->setPen(option.palette.color(QPalette::Link));
        painter->drawText(link, Qt::AlignRight | Qt::AlignVCenter, tr("Show in folder"));
    }

    painter->setFont(option.font);
    painter->setPen(Theme::secondaryText());
    const QString sizeText = index.data(JobTableModel::SizeTextRole).toString();
    const bool kept = index.data(JobTableModel::KeptSourceRole).toBool();
    if (result || kept) {
        const int half = sizeRect.height() / 2;
        painter->drawText(sizeRect.adjusted(0, 0, 0, -half - 2), Qt::AlignRight | Qt::AlignBottom,
                          sizeText);
        painter->setFont(pathFont);
        const QString below =
            result ? index.data(JobTableModel::ResultTextRole).toString() : tr("source kept");
        painter->drawText(sizeRect.adjusted(0, half + 2, 0, 0), Qt::AlignRight | Qt::AlignTop,
                          QFontMetrics(pathFont).elidedText(below, Qt::ElideRight, sizeWidth()));
    } else {
        painter->drawText(sizeRect, Qt::AlignRight | Qt::AlignVCenter, sizeText);
    }

    switch (index.data(JobTableModel::StateRole).value<JobState>()) {
    case JobState::Converted:
        painter->drawPixmap(mark,
                            StateMarks::image(index.data(JobTableModel::WarningRole).toBool()
                                                  ? StateMarks::Mark::Warning
                                                  : StateMarks::Mark::Completed,
                                              markSide(), painter->device()->devicePixelRatioF()));
        break;
    case JobState::Converting:
        StateMarks::paintSpinner(painter, mark, spinnerStep_);
        break;
    case JobState::Failed:
        painter->drawPixmap(mark, StateMarks::image(StateMarks::Mark::Alert, markSide(),
                                                    painter->device()->devicePixelRatioF()));
        break;
    default:
        // Not a failure: the result was not worth keeping.
        if (kept)
            painter->drawPixmap(mark, StateMarks::image(StateMarks::Mark::Kept, markSide(),
                                                        painter->device()->devicePixelRatioF()));
        break;
    }

    const QRect del = deleteButtonRect(row);
    bool hovered = false;
    if (const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
        view != nullptr && (option.state & QStyle::State_MouseOver))
        hovered = del.contains(view->viewport()->mapFromGlobal(QCursor::pos()));
    paintDeleteButton(painter, del, deleteEnabled_, hovered);
    // The keyboard's current row, also when it is not selected (Ctrl+arrows).
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(Theme::accent(), 1.5));
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(QRectF(row).adjusted(2.5, 2.5, -2.5, -2.5), 6, 6);
    }
    painter->restore();
}

bool JobRowDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                 const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease ||
        event->type() == QEvent::MouseButtonDblClick) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        const bool release = event->type() == QEvent::MouseButtonRelease;
        // The press is swallowed too, so a click on a button does not select the row.
        if (mouse->button() == Qt::LeftButton && deleteButtonRect(option.rect).contains(at)) {
            if (release && deleteEnabled_)
                Q_EMIT deleteRequested(index);
            return true;
        }
        if (mouse->button() == Qt::LeftButton && showsResult(index) &&
            showInFolderRect(option.rect).contains(at)) {
            if (release)
                Q_EMIT showInFolderRequested(index);
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}
