// The alert that closes a run, from the run's outcome alone: which text, which title, which
// icon, and how many failed files it names.
#include "RunReport.h"

#include <QTest>

namespace {
using Kind = RunFailure::Kind;

RunReport reportOf(const QList<Kind>& kinds) {
    RunReport report;
    for (qsizetype i = 0; i < kinds.size(); ++i) {
        const QString path = QStringLiteral("/in/f%1.webp").arg(i);
        const QString reason = kinds[i] == Kind::SilentTool
                                   ? QStringLiteral("dwebp crashed converting %1").arg(path)
                                   : QStringLiteral("dwebp failed converting %1: Bad").arg(path);
        report.failedJobs.append({path, reason, kinds[i]});
    }
    report.failures = kinds.size();
    report.failed = !kinds.isEmpty();
    return report;
}
} // namespace

class RunReportTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void chooseTheTextThatIsTrue_data() {
        QTest::addColumn<QList<Kind>>("kinds");
        QTest::addColumn<QString>("shape"); // "", "animated", "silent" or "listed"
        QTest::newRow("clean run") << QList<Kind>{} << "";
        QTest::newRow("one animated") << QList<Kind>{Kind::AnimatedWebp} << "animated";
        QTest::newRow("all animated")
            << QList<Kind>{Kind::AnimatedWebp, Kind::AnimatedWebp} << "animated";
        QTest::newRow("silent tool") << QList<Kind>{Kind::SilentTool} << "silent";
        QTest::newRow("junk named .webp") << QList<Kind>{Kind::Reported} << "listed";
        QTest::newRow("animated and junk")
            << QList<Kind>{Kind::AnimatedWebp, Kind::Reported} << "listed";
        QTest::newRow("silent and animated")
            << QList<Kind>{Kind::SilentTool, Kind::AnimatedWebp} << "listed";
    }
    void chooseTheTextThatIsTrue() {
        QFETCH(QList<Kind>, kinds);
        QFETCH(QString, shape);
        const RunReport report = reportOf(kinds);
        const ClosingReport closing = closingReport(report);
        QCOMPARE(report.closingMessage(), closing.text);
        if (shape.isEmpty()) {
            QVERIFY(closing.text.isEmpty());
            QCOMPARE(closing.icon, ClosingReport::Icon::None);
            return;
        }
        QCOMPARE(closing.icon, ClosingReport::Icon::Warning);
        QVERIFY(closing.title.contains(QString::number(kinds.size())));
        if (shape == "animated")
            QCOMPARE(closing.text, QLatin1String(ClosingTexts::AnimatedWebp));
        else if (shape == "silent")
            QCOMPARE(closing.text, ClosingTexts::silentTool());
        else
            for (const RunFailure& failure : report.failedJobs)
                QVERIFY2(closing.text.contains(failure.path), qPrintable(closing.text));
    }

    void namesTheFirstFewThenCounts_data() {
        QTest::addColumn<int>("failed");
        QTest::addColumn<int>("named");
        QTest::addColumn<QString>("more"); // the last line, or "" when all are named
        QTest::newRow("1") << 1 << 1 << "";
        QTest::newRow("5") << 5 << 5 << "";
        QTest::newRow("6") << 6 << 5 << "and 1 more";
        QTest::newRow("40") << 40 << 5 << "and 35 more";
    }
    void namesTheFirstFewThenCounts() {
        QFETCH(int, failed);
        QFETCH(int, named);
        QFETCH(QString, more);
        const RunReport report = reportOf(QList<Kind>(failed, Kind::Reported));
        const QStringList lines = closingReport(report).text.split(u'\n');
        QCOMPARE(lines.size(), named + (more.isEmpty() ? 0 : 1));
        for (int i = 0; i < named; ++i)
            QCOMPARE(lines[i], report.failedJobs[i].reason);
        if (!more.isEmpty())
            QCOMPARE(lines.last(), more);
    }

    // The literal texts, once.
    void texts() {
        QCOMPARE(QLatin1String(ClosingTexts::AnimatedWebp),
                 QLatin1String("Error! Decoding of an animated WebP file is not supported."));
        QCOMPARE(ClosingTexts::silentTool(),
                 QStringLiteral("The App fails to compress some images. Please send it to "
                                "support@tessaro.app and I will check it for you."));
        QCOMPARE(closingReport(reportOf({Kind::Reported})).title,
                 QStringLiteral("1 image was not converted"));
        QCOMPARE(closingReport(reportOf({Kind::Reported, Kind::Reported})).title,
                 QStringLiteral("2 images were not converted"));
        RunFailure unexplained{QStringLiteral("/in/x.png"), QString(), Kind::Reported};
        RunReport report;
        report.failed = true;
        report.failedJobs = {unexplained};
        QCOMPARE(closingReport(report).text,
                 QStringLiteral("/in/x.png: the converter stopped without saying why"));
    }
};

QTEST_MAIN(RunReportTest)
#include "tst_runreport.moc"
