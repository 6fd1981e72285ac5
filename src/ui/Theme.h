#pragma once
#include <QColor>

// The few colours and measures the window is drawn with, in one place.
namespace Theme {
inline constexpr int RowHeight = 80;
inline constexpr int Margin = 16;
inline constexpr char StartButtonHex[] = "3c76db";

inline QColor text() {
    return QColor(0x1f, 0x23, 0x28);
}
inline QColor secondaryText() {
    return QColor(0x6a, 0x73, 0x7d);
}
inline QColor separator() {
    return QColor(0xe6, 0xe8, 0xeb);
}
inline QColor selection() {
    return QColor(0xe8, 0xf0, 0xfc);
}
inline QColor hover() {
    return QColor(0xf6, 0xf8, 0xfa);
}
inline QColor surface() {
    return QColor(0xff, 0xff, 0xff);
}
inline QColor window() {
    return QColor(0xf3, 0xf4, 0xf6);
}
inline QColor accent() {
    return QColor(0x3c, 0x76, 0xdb);
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
