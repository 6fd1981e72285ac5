#pragma once
#include <QPixmap>
#include <QString>

class QPainter;
class QRectF;

// The state marks of a row, drawn by us: completed (a green check in a disc), alert (a red
// exclamation mark in a disc), warning (the same in amber: converted, but not all went as asked),
// kept (an equals sign in a grey disc: the source stays as it is, its result would not have
// saved enough) and the spinner shown while a job converts.
namespace StateMarks {
inline constexpr int SpinnerSteps = 12;

enum class Mark { Completed, Warning, Alert, Kept };
// The mark at side x side logical pixels.
QPixmap image(Mark mark, int side, qreal devicePixelRatio = 1.0);
// One frame of the spinner; step runs 0..SpinnerSteps-1.
void paintSpinner(QPainter* painter, const QRectF& rect, int step);
} // namespace StateMarks
