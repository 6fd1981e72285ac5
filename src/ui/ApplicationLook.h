#pragma once
class QApplication;

enum class ColorScheme { Desktop, Dark };

// The application's look. Desktop keeps the desktop's own style, palette and font size, light
// or dark. Dark forces a dark palette on Fusion, for showing the dark look where the desktop
// has none (screenshots under a virtual display).
void applyApplicationLook(QApplication& app, ColorScheme scheme = ColorScheme::Desktop);
