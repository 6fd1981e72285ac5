#pragma once
#include <QCoreApplication>
#include <QString>

struct ClosingReport;
struct RunReport;

// Messages the intake and the engine also give the command line, whose output stays English,
// as the window shows them: translated from the same English text.
class WindowTexts {
    Q_DECLARE_TR_FUNCTIONS(WindowTexts)
public:
    // The engine's closing report in the user's language; tool reasons stay as the tool said.
    static ClosingReport closingReport(const RunReport& report);
    static QString uploadLimitMessage(qint64 limit);
    static QString oversizeMessage();
};
