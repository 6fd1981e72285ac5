#pragma once
#include <QDialog>

// The information window: what the application is and which tools it runs.
class InfoWindow : public QDialog {
    Q_OBJECT
public:
    explicit InfoWindow(QWidget* parent = nullptr);
};
