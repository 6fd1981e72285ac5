#pragma once
#include <QCoreApplication>

class HomeView;
class MainWindow;
class OptionsWindow;

// Names and descriptions of the window's controls for screen readers; tool tips where a
// sighted user gains from them too.
class ControlDescriptions {
    Q_DECLARE_TR_FUNCTIONS(ControlDescriptions)
public:
    static void describeHome(HomeView* home);
    static void describeToolbar(MainWindow* window);
    static void describeOptions(OptionsWindow* window);
};
