#pragma once
class QApplication;

// The application's style and palette: Fusion on a light, neutral palette with the brand
// accent, so the window looks the same on every desktop.
void applyApplicationLook(QApplication& app);
