#pragma once
#include <QPixmap>
#include <QString>

class QPainter;
class QRectF;

// The state marks of a row, drawn by us: "completed" (a green check in a disc), "alert"
// (a red exclamation mark in a disc), "warning" (the same in amber: converted, but not all
// was carried), "kept" (an equals sign in a grey disc: the source stays as it is, its result
// would not have saved enough) and the spinner shown while a job converts.
namespace StateMarks {
inline constexpr int SpinnerSteps = 12;

// The named mark at side x side logical pixels; a null pixmap for an unknown name.
QPixmap image(const QString& name, int side, qreal devicePixelRatio = 1.0);
// One frame of the spinner; step runs 0..SpinnerSteps-1.
void paintSpinner(QPainter* painter, const QRectF& rect, int step);
} // namespace StateMarks
