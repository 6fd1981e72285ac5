// What a run tells people: sizes and savings (rows, footer, alert and the command line's text
// share them) and the alert that closes a run, from the run's outcome alone.
#include "RunReport.h"
#include "SizeSummary.h"

#include <QTest>

namespace {

RunReport reportOf(const QList<Reason>& reasons) {
    RunReport report;
    for (qsizetype i = 0; i < reasons.size(); ++i) {
        const QString path = QStringLiteral("/in/f%1.webp").arg(i);
        report.failedJobs.append(
            {path, reasons[i], QStringLiteral("dwebp failed converting %1: Bad").arg(path)});
    }
    return report;
}

} // namespace

class ReportsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sizes_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<qint64>("in");
        QTest::addColumn<qint64>("out");
        QTest::addColumn<QString>("totals");
        const auto row = [](const char* tag, const char* locale, qint64 in, qint64 out,
                            const char* totals) {
            QTest::newRow(tag) << QString(locale) << in << out << QString(totals);
        };
        row("smaller", "C", 2634000, 1210000, "2.6 MB → 1.2 MB, −54 %");
        row("larger, bytes", "C", 20, 23, "20 B → 23 B, +15 %");
        row("same", "C", 5000, 5000, "5.0 kB → 5.0 kB, 0 %");
        row("no input", "C", 0, 10, "0 B → 10 B, 0 %");
        row("rounds up a unit", "C", 999960, 999960, "1.0 MB → 1.0 MB, 0 %");
        row("german decimal comma", "de_DE", 2590000, 768700, "2,6 MB → 768,7 kB, −70 %");
    }
    void sizes() {
        QFETCH(QString, locale);
        QFETCH(qint64, in);
        QFETCH(qint64, out);
        QFETCH(QString, totals);
        const QLocale before;
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(SizeSummary::totalsText(in, out), totals);
        QVERIFY(totals.endsWith(SizeSummary::resultText(in, out).mid(2)));
        QLocale::setDefault(before);
    }

    void chooseTheTextThatIsTrue_data() {
        QTest::addColumn<QList<Reason>>("reasons");
        QTest::addColumn<QString>("shape"); // "", "animated", "silent" or "listed"
        using R = Reason;
        QTest::newRow("clean run") << QList<R>{} << "";
        QTest::newRow("all animated") << QList<R>{R::AnimatedWebp, R::AnimatedWebp} << "animated";
        QTest::newRow("silent tool") << QList<R>{R::ToolSilent} << "silent";
        QTest::newRow("junk named .webp") << QList<R>{R::ToolFailed} << "listed";
        QTest::newRow("animated and junk") << QList<R>{R::AnimatedWebp, R::ToolFailed} << "listed";
        QTest::newRow("silent and animated")
            << QList<R>{R::ToolSilent, R::AnimatedWebp} << "listed";
        QTest::newRow("as many as are listed")
            << QList<R>(ListedFailures, R::ToolFailed) << "listed";
        QTest::newRow("one more") << QList<R>(ListedFailures + 1, R::ToolFailed) << "listed";
        QTest::newRow("forty") << QList<R>(40, R::ToolFailed) << "listed";
    }
    void chooseTheTextThatIsTrue() {
        QFETCH(QList<Reason>, reasons);
        QFETCH(QString, shape);
        const RunReport report = reportOf(reasons);
        const ClosingReport closing = closingReport(report);
        QCOMPARE(closing.text.isEmpty(), shape.isEmpty());
        QCOMPARE(closing.icon,
                 shape.isEmpty() ? ClosingReport::Icon::None : ClosingReport::Icon::Warning);
        if (shape.isEmpty())
            return;
        QVERIFY(closing.title.contains(QString::number(reasons.size())));
        QCOMPARE(closing.text.startsWith("Error!"), shape == "animated");
        QCOMPARE(closing.text.contains(QLatin1String(SupportEmail)), shape == "silent");
        if (shape != "listed")
            return;
        // The first few failures by name, then how many more.
        const QStringList lines = closing.text.split(u'\n');
        const qsizetype more = reasons.size() - ListedFailures;
        QCOMPARE(lines.size(), more > 0 ? ListedFailures + 1 : reasons.size());
        for (qsizetype i = 0; i < std::min<qsizetype>(reasons.size(), ListedFailures); ++i)
            QVERIFY2(lines[i].contains(report.failedJobs[i].path), qPrintable(closing.text));
        QVERIFY(more <= 0 || lines.last().contains(QString::number(more)));
    }
};

QTEST_MAIN(ReportsTest)
#include "tst_reports.moc"
