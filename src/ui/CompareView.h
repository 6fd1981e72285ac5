#pragma once
#include "ZoomPan.h"

#include <QImage>
#include <QPointF>
#include <QWidget>

enum class CompareMode {
    Flip,       // one image at a time, Space switches
    Split,      // source left of a draggable divider, result right of it
    Difference, // a heat map of where the result differs from the source
};

// A source image and its result, drawn with one shared zoom and position so both always show
// the same place. Only the visible part of an image is drawn, so a 50-megapixel pair pans as
// smoothly as a small one. The difference map is computed on the decode pool the first time it
// is shown. Drag to pan (or to move the divider in Split), Ctrl+wheel or Ctrl+plus/minus to
// zoom, Ctrl+0 fits, Ctrl+1 shows 100 %, Space flips, Shift+Left/Right moves the divider.
class CompareView : public QWidget {
    Q_OBJECT
public:
    explicit CompareView(QWidget* parent = nullptr);
    ~CompareView() override;

    // A result of another size is stretched over the source's area, so both stay aligned.
    void setImages(const QImage& source, const QImage& result);
    // Drops the images and shows text in their place (loading, or why they cannot be shown).
    void clearImages(const QString& placeholder);
    bool hasImages() const { return !source_.isNull() && !result_.isNull(); }
    QString placeholderText() const { return placeholder_; }

    CompareMode mode() const { return mode_; }
    void setMode(CompareMode mode);
    bool showsResult() const { return showsResult_; }
    void setShowsResult(bool result);
    // 1.0 is 100 %: one image pixel per screen pixel.
    qreal zoom() const;
    QPointF pan() const { return zoomPan_.offset(); }
    bool fitsWindow() const { return zoomPan_.fitted(); }
    // Where the divider stands, from 0 (left edge) to 1 (right edge).
    qreal divider() const { return divider_; }
    void setDivider(qreal fraction);
    QImage difference() const { return difference_; }

    // The view's keys, also when they reach the window from another of its controls.
    bool handleKey(QKeyEvent* event);

public Q_SLOTS:
    void flip();
    void fitToWindow();
    void showActualSize();
    void zoomIn();
    void zoomOut();

Q_SIGNALS:
    void modeChanged(CompareMode mode);
    void viewChanged(); // zoom, position, divider or the shown image changed
    void differenceReady();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class Drag { None, Pan, Divider };

    void layoutImage();
    void changed();
    void startDifference();
    void describe();
    qreal dividerX() const { return divider_ * width(); }
    bool nearDivider(QPointF at) const;
    void drawVisible(QPainter& painter, const QImage& image, const QRectF& clip) const;
    void drawLabel(QPainter& painter, const QString& text, Qt::Alignment corner) const;

    QImage source_;
    QImage result_;
    QImage difference_;
    QString placeholder_;
    CompareMode mode_ = CompareMode::Flip;
    bool showsResult_ = false;
    qreal divider_ = 0.5;
    ZoomPan zoomPan_;
    Drag drag_ = Drag::None;
    QPointF lastDragPoint_;
    // A difference computed for earlier images is dropped on arrival.
    quint64 imagesGeneration_ = 0;
    bool differencePending_ = false;
};
