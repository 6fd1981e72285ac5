#include "DragDropView.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

DragDropView::DragDropView(QWidget* parent) : QWidget(parent) {
    setAcceptDrops(true);
}

QStringList DragDropView::localPaths(const QMimeData* data) {
    QStringList paths;
    if (data == nullptr || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}

void DragDropView::dragEnterEvent(QDragEnterEvent* event) {
    // Copy for anything that names local files; text, images and web links are refused here.
    if (!localPaths(event->mimeData()).isEmpty()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        Q_EMIT dragHoverChanged(true);
    } else {
        event->ignore();
    }
}

void DragDropView::dragMoveEvent(QDragMoveEvent* event) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void DragDropView::dragLeaveEvent(QDragLeaveEvent* event) {
    Q_EMIT dragHoverChanged(false);
    QWidget::dragLeaveEvent(event);
}

void DragDropView::dropEvent(QDropEvent* event) {
    Q_EMIT dragHoverChanged(false);
    const QStringList paths = localPaths(event->mimeData());
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (delegate_ != nullptr)
        delegate_->dragDropViewFileList(paths);
}
