#pragma once
class QApplication;

// Names the application (settings, private home, desktop entry) and gives it its icon.
void applyApplicationIdentity(QApplication& app);
