#include "JobTableModel.h"

#include "JobAccessibleText.h"
#include "JobList.h"
#include "SizeFormat.h"
#include "SizeSummary.h"

#include <QFileInfo>

JobTableModel::JobTableModel(JobList* list, QObject* parent)
    : QAbstractTableModel(parent), list_(list) {
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

const PicModel* JobTableModel::job(int row) const {
    if (list_.isNull() || row < 0 || row >= list_->count())
        return nullptr;
    return &list_->at(row);
}

QString JobTableModel::toolTip(const PicModel& job) {
    if (!job.errorText.isEmpty())
        return job.errorText;
    if (job.completed != JobState::Converted)
        return job.url;
    const auto carried = [](bool yes) { return yes ? tr("kept") : tr("not kept"); };
    QString text =
        tr("%1\nColour profile: %2\nMetadata: %3")
            .arg(job.outputPath, carried(job.profileCarried), carried(job.metadataCarried));
    if (!job.warningText.isEmpty())
        text += tr("\nWarning: %1").arg(job.warningText);
    return text;
}

QVariant JobTableModel::data(const QModelIndex& index, int role) const {
    const PicModel* picModel = job(index.row());
    if (picModel == nullptr)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return picModel->name;
    case SizeTextRole:
        return formattedSize(picModel->size);
    case PathRole:
        return picModel->url;
    case StateRole:
        return picModel->completed;
    case ResultTextRole:
        if (picModel->completed != JobState::Converted || picModel->outputPath.isEmpty())
            return QString();
        return SizeSummary::resultText(SizeSummary::bytesOf(*picModel), picModel->outputBytes);
    case OutputPathRole:
        return picModel->outputPath;
    case ExtensionRole:
        return QFileInfo(picModel->name).suffix().toUpper();
    case Qt::ToolTipRole:
        return toolTip(*picModel);
    case WarningRole:
        return !picModel->warningText.isEmpty();
    case Qt::AccessibleTextRole:
        return JobAccessibleText::name(*picModel);
    case Qt::AccessibleDescriptionRole:
        return JobAccessibleText::description(*picModel);
    default:
        return {};
    }
}

void JobTableModel::noteState(int row) {
    const PicModel* picModel = job(row);
    if (picModel == nullptr)
        return;
    const qsizetype before = converting_.size();
    if (picModel->completed == JobState::Converting)
        converting_.insert(picModel->url);
    else
        converting_.remove(picModel->url);
    if (converting_.size() != before)
        Q_EMIT convertingCountChanged(convertingCount());
}

void JobTableModel::recountConverting() {
    const qsizetype before = converting_.size();
    converting_.clear();
    if (!list_.isNull()) {
        for (const PicModel& picModel : list_->dataArr()) {
            if (picModel.completed == JobState::Converting)
                converting_.insert(picModel.url);
        }
    }
    if (converting_.size() != before)
        Q_EMIT convertingCountChanged(convertingCount());
}
