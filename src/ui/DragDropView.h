#pragma once
#include <QPointer>
#include <QStringList>
#include <QWidget>

// Receives the path lists dropped on a DragDropView.
class DragDropViewDelegate {
public:
    virtual ~DragDropViewDelegate() = default;
    virtual void dragDropViewFileList(const QStringList& paths) = 0;
};

// The main window's drop area. It takes any drag that carries local files and hands their
// paths, unexamined and in the drag's order, to its delegate; filtering, folder expansion and
// messages are the intake's business. It paints nothing itself, so whatever it holds (the file
// table) shows through, and drags over its children arrive here as long as they take none.
class DragDropView : public QWidget {
    Q_OBJECT
public:
    explicit DragDropView(QWidget* parent = nullptr);

    DragDropViewDelegate* delegate() const { return delegate_; }
    void setDelegate(DragDropViewDelegate* delegate) { delegate_ = delegate; }

    // The local paths a drag carries, in its order; empty when it carries none.
    static QStringList localPaths(const class QMimeData* data);

Q_SIGNALS:
    void dragHoverChanged(bool hovering);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    DragDropViewDelegate* delegate_ = nullptr;
};
