#pragma once
class QApplication;

// Names and versions the application; needs no application object yet.
void nameApplication();

// Names the application (settings, private home, desktop entry) and gives it its icon.
void applyApplicationIdentity(QApplication& app);
