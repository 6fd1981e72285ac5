#pragma once
#include "RunReport.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

#include <functional>

class ConversionSession;
class DesktopIntegration;

// Tells the desktop about the window's runs: their progress on the application's icon, and a
// notification when one ends that was started from a file manager, or that took a while and
// ended while the window was not active.
class RunNotifier : public QObject {
    Q_OBJECT
public:
    RunNotifier(ConversionSession* session, DesktopIntegration* desktop,
                std::function<bool()> windowIsActive, QObject* parent = nullptr);

    // A shorter run the user was watching needs no notification.
    qint64 quietRunMs = 5000;

    // The notification's summary and body for a run of total jobs.
    static QString summaryOf(const RunReport& report, qsizetype total);
    static QString bodyOf(const RunReport& report);

private:
    void runEnded(const RunReport& report);

    QPointer<ConversionSession> session_;
    QPointer<DesktopIntegration> desktop_;
    std::function<bool()> windowIsActive_;
    QElapsedTimer clock_;
};
