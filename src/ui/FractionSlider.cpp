#include "FractionSlider.h"

#include <cmath>

namespace {
constexpr int Steps = 1000;
}

FractionSlider::FractionSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setRange(0, Steps);
    setSingleStep(10);
    setPageStep(100);
    setTracking(true); // report while the knob is dragged
}

double FractionSlider::fractionValue() const {
    return static_cast<double>(value()) / Steps;
}

void FractionSlider::setFractionValue(double fraction) {
    setValue(static_cast<int>(std::lround(fraction * Steps)));
}

QString FractionSlider::valueText() const {
    return QString::number(fractionValue());
}
