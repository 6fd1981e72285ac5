// Sizes and savings as the window and the command line both print them.
#include "SizeSummary.h"

#include <QTest>

class SizeSummaryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void humanBytes_data() {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << qint64(0) << "0 B";
        QTest::newRow("999") << qint64(999) << "999 B";
        QTest::newRow("1000") << qint64(1000) << "1.0 kB";
        QTest::newRow("1,234,567") << qint64(1234567) << "1.2 MB";
        QTest::newRow("11,900,000") << qint64(11900000) << "11.9 MB";
        QTest::newRow("3 GB") << qint64(3000000000) << "3.0 GB";
    }
    void humanBytes() {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(SizeSummary::humanBytes(bytes), text);
    }

    void savings_data() {
        QTest::addColumn<qint64>("in");
        QTest::addColumn<qint64>("out");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("totals");
        QTest::newRow("smaller") << qint64(2634000) << qint64(1210000) << QString("→ 1.2 MB, −54 %")
                                 << QString("2.6 MB → 1.2 MB, −54 %");
        QTest::newRow("run") << qint64(11900000) << qint64(3100000) << QString("→ 3.1 MB, −74 %")
                             << QString("11.9 MB → 3.1 MB, −74 %");
        QTest::newRow("larger") << qint64(100) << qint64(112) << QString("→ 112 B, +12 %")
                                << QString("100 B → 112 B, +12 %");
        QTest::newRow("same") << qint64(5000) << qint64(5000) << QString("→ 5.0 kB, 0 %")
                              << QString("5.0 kB → 5.0 kB, 0 %");
        QTest::newRow("no input") << qint64(0) << qint64(10) << QString("→ 10 B, 0 %")
                                  << QString("0 B → 10 B, 0 %");
    }
    void savings() {
        QFETCH(qint64, in);
        QFETCH(qint64, out);
        QFETCH(QString, result);
        QFETCH(QString, totals);
        QCOMPARE(SizeSummary::resultText(in, out), result);
        QCOMPARE(SizeSummary::totalsText(in, out), totals);
    }
};

QTEST_MAIN(SizeSummaryTest)
#include "tst_sizesummary.moc"
