#include "JobTableModel.h"

#include "JobAccessibleText.h"
#include "JobList.h"
#include "ReasonText.h"
#include "SizeSummary.h"

#include <QFileInfo>
#include <QLocale>
#include <QTextDocument>

namespace {
// "231.0 kB · 1600 × 1200 px · quality 82 · SSIM 0.982", as far as known.
QString resultMeasures(const Job& job) {
    QStringList parts{SizeSummary::humanBytes(job.outputBytes)};
    if (job.resultSize.isValid())
        parts.append(JobTableModel::tr("%1 × %2 px")
                         .arg(job.resultSize.width())
                         .arg(job.resultSize.height()));
    if (job.quality >= 0)
        parts.append(JobTableModel::tr("quality %1").arg(job.quality));
    if (job.ssim)
        parts.append(JobTableModel::tr("SSIM %1").arg(QLocale().toString(*job.ssim, 'f', 3)));
    return parts.join(QStringLiteral(" · "));
}
} // namespace

JobTableModel::JobTableModel(JobList* list, QObject* parent)
    : QAbstractTableModel(parent), list_(list), thumbnails_(new RowThumbnails(list, this)) {
    connect(thumbnails_, &RowThumbnails::thumbnailArrived, this, [this](int row) {
        const QModelIndex changed = index(row, 0);
        Q_EMIT dataChanged(changed, changed, {ThumbnailRole, AnimatedRole});
    });
    connect(list, &JobList::aboutToAppend, this, [this](qsizetype first, qsizetype last) {
        beginInsertRows({}, static_cast<int>(first), static_cast<int>(last));
    });
    connect(list, &JobList::appended, this, [this] { endInsertRows(); });
    connect(list, &JobList::aboutToRemove, this, [this](qsizetype row) {
        beginRemoveRows({}, static_cast<int>(row), static_cast<int>(row));
    });
    connect(list, &JobList::removed, this, [this] {
        endRemoveRows();
        recountConverting();
    });
    connect(list, &JobList::aboutToClear, this, [this] { beginResetModel(); });
    connect(list, &JobList::cleared, this, [this] {
        endResetModel();
        recountConverting();
    });
    connect(list, &JobList::jobChanged, this, [this](qsizetype row) {
        const QModelIndex changed = index(static_cast<int>(row), 0);
        Q_EMIT dataChanged(changed, changed);
        noteState(static_cast<int>(row));
    });
}

int JobTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || list_.isNull() ? 0 : static_cast<int>(list_->count());
}

int JobTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 1;
}

const Job* JobTableModel::job(int row) const {
    if (list_.isNull() || row < 0 || row >= list_->count())
        return nullptr;
    return &list_->at(row);
}

QString JobTableModel::toolTip(const Job& job) {
    if (JobAccessibleText::keptSource(job))
        return tr("Not kept: %1. The source stays as it is.")
            .arg(JobAccessibleText::keptSourceReason(job));
    if (job.state == JobState::Failed || !job.detail.isEmpty())
        return reasonText(job.reason, job.detail);
    if (job.state != JobState::Converted)
        return job.path;
    const auto carried = [](bool yes) { return yes ? tr("kept") : tr("not kept"); };
    QString text = tr("%1\n%2\nColour profile: %3\nMetadata: %4")
                       .arg(job.outputPath, resultMeasures(job), carried(job.profileCarried),
                            carried(job.metadataCarried));
    if (!job.warning.isEmpty())
        text += tr("\nWarning: %1").arg(job.warning);
    return text;
}

QVariant JobTableModel::data(const QModelIndex& index, int role) const {
    const Job* shown = job(index.row());
    if (shown == nullptr)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return shown->name;
    case SizeTextRole:
        return SizeSummary::humanBytes(shown->sourceBytes);
    case PathRole:
        return shown->path;
    case StateRole:
        return QVariant::fromValue(shown->state);
    case ResultTextRole:
        if (shown->state != JobState::Converted || shown->outputPath.isEmpty())
            return QString();
        return SizeSummary::resultText(shown->sourceBytes, shown->outputBytes);
    case OutputPathRole:
        return shown->outputPath;
    case ThumbnailRole:
        return thumbnails_->thumbnail(shown->path).image;
    case AnimatedRole:
        return thumbnails_->thumbnail(shown->path).animated;
    case ExtensionRole:
        return QFileInfo(shown->name).suffix().toUpper();
    case Qt::ToolTipRole: {
        // Tool tips guess their format: a name that looks like markup is shown as it is.
        const QString text = toolTip(*shown);
        return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpacePre) : text;
    }
    case WarningRole:
        return !shown->warning.isEmpty();
    case KeptSourceRole:
        return JobAccessibleText::keptSource(*shown);
    case Qt::AccessibleTextRole:
        return JobAccessibleText::name(*shown);
    case Qt::AccessibleDescriptionRole:
        return JobAccessibleText::description(*shown);
    default:
        return {};
    }
}

void JobTableModel::noteState(int row) {
    const Job* changed = job(row);
    if (changed == nullptr)
        return;
    const qsizetype before = converting_.size();
    if (changed->state == JobState::Converting)
        converting_.insert(changed->path);
    else
        converting_.remove(changed->path);
    if (converting_.size() != before)
        Q_EMIT convertingCountChanged(convertingCount());
}

void JobTableModel::recountConverting() {
    const qsizetype before = converting_.size();
    converting_.clear();
    if (!list_.isNull()) {
        for (const Job& listed : list_->jobs()) {
            if (listed.state == JobState::Converting)
                converting_.insert(listed.path);
        }
    }
    if (converting_.size() != before)
        Q_EMIT convertingCountChanged(convertingCount());
}
