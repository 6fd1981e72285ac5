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
        QTest::newRow("smaller") << "C" << qint64(2634000) << qint64(1210000)
                                 << QString("2.6 MB → 1.2 MB, −54 %");
        QTest::newRow("larger, bytes")
            << "C" << qint64(20) << qint64(23) << QString("20 B → 23 B, +15 %");
        QTest::newRow("same") << "C" << qint64(5000) << qint64(5000)
                              << QString("5.0 kB → 5.0 kB, 0 %");
        QTest::newRow("no input") << "C" << qint64(0) << qint64(10) << QString("0 B → 10 B, 0 %");
        QTest::newRow("rounds up a unit")
            << "C" << qint64(999960) << qint64(999960) << QString("1.0 MB → 1.0 MB, 0 %");
        QTest::newRow("german decimal comma")
            << "de_DE" << qint64(2590000) << qint64(768700) << QString("2,6 MB → 768,7 kB, −70 %");
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
        if (shape == "listed")
            for (const RunFailure& failure : report.failedJobs)
                QVERIFY2(closing.text.contains(failure.path), qPrintable(closing.text));
    }

    void namesTheFirstFewThenCounts_data() {
        QTest::addColumn<int>("failed");
        QTest::addColumn<QString>("more"); // the last line, or "" when all are named
        QTest::newRow("5") << 5 << "";
        QTest::newRow("6") << 6 << "and 1 more";
        QTest::newRow("40") << 40 << "and 35 more";
    }
    void namesTheFirstFewThenCounts() {
        QFETCH(int, failed);
        QFETCH(QString, more);
        const RunReport report = reportOf(QList<Reason>(failed, Reason::ToolFailed));
        const QStringList lines = closingReport(report).text.split(u'\n');
        QCOMPARE(lines.size(), ListedFailures + (more.isEmpty() ? 0 : 1));
        for (int i = 0; i < ListedFailures; ++i)
            QCOMPARE(lines[i], report.failedJobs[i].detail);
        if (!more.isEmpty())
            QCOMPARE(lines.last(), more);
    }
};

QTEST_MAIN(ReportsTest)
#include "tst_reports.moc"
