#pragma once
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>

// The few colours and measures the window is drawn with, in one place. Colours come from the
// desktop's palette, so light and dark desktops both look right; the accents are mid-tones
// that read on both. Measures are multiples of the font's line height, so rows, margins and
// icons grow with the user's font size and with the screen's scale.
namespace Theme {
inline constexpr char StartButtonHex[] = "3c76db";

// One text line of the application font: the unit every measure is made of.
inline int lineHeight() {
    return QFontMetrics(QGuiApplication::font()).height();
}
inline int em(qreal lines) {
    return qRound(lineHeight() * lines);
}
inline int rowHeight() {
    return em(4.7);
}
inline int margin() {
    return em(1.0);
}
// The application font scaled by a factor, keeping its unit (points or pixels).
inline QFont scaledFont(QFont font, qreal factor) {
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * factor);
    else
        font.setPixelSize(qMax(1, qRound(font.pixelSize() * factor)));
    return font;
}

// a moved towards b by t (0..1).
inline QColor mix(const QColor& a, const QColor& b, qreal t) {
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}
inline QColor role(QPalette::ColorRole colorRole) {
    return QGuiApplication::palette().color(colorRole);
}

inline QColor text() {
    return role(QPalette::Text);
}
inline QColor surface() {
    return role(QPalette::Base);
}
inline QColor window() {
    return role(QPalette::Window);
}
inline QColor secondaryText() {
    return mix(surface(), text(), 0.6);
}
inline QColor disabledText() {
    return mix(surface(), text(), 0.35);
}
inline QColor separator() {
    return mix(surface(), text(), 0.13);
}
inline QColor hover() {
    return mix(surface(), text(), 0.05);
}
inline QColor accent() {
    return QColor(0x3c, 0x76, 0xdb);
}
inline QColor selection() {
    return mix(surface(), accent(), 0.2);
}
inline QColor success() {
    return QColor(0x1f, 0x9d, 0x55);
}
inline QColor failure() {
    return QColor(0xd9, 0x3f, 0x3f);
}
inline QColor warning() {
    return QColor(0xe0, 0x9b, 0x1a);
}
} // namespace Theme
