#pragma once
#include <QCoreApplication>
#include <QString>

struct RunReport;

// Messages the intake and the engine also give the command line, whose output stays English,
// as the window shows them: translated from the same English text.
class WindowTexts {
    Q_DECLARE_TR_FUNCTIONS(WindowTexts)
public:
    static QString closingMessage(const RunReport& report);
    static QString uploadLimitMessage(qint64 limit);
    static QString oversizeMessage();
};
