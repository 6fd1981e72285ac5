#include "HexColor.h"

#include <QTest>

class HexColorTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void colours_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("isNull");
        QTest::addColumn<int>("red");
        QTest::addColumn<int>("green");
        QTest::addColumn<int>("blue");
        QTest::newRow("start button") << "3c76db" << false << 60 << 118 << 219;
        QTest::newRow("login button") << "3165D8" << false << 49 << 101 << 216;
        QTest::newRow("login button, lower case") << "3165d8" << false << 49 << 101 << 216;
        QTest::newRow("no string") << QString() << true << 0 << 0 << 0;
        QTest::newRow("empty") << "" << false << 0 << 0 << 0;
        QTest::newRow("number sign stops at once") << "#3c76db" << false << 0 << 0 << 0;
        QTest::newRow("no hex digit") << "xyz" << false << 0 << 0 << 0;
        QTest::newRow("0x prefix") << "0xFF0000" << false << 255 << 0 << 0;
        QTest::newRow("0X prefix") << "0X00FF00" << false << 0 << 255 << 0;
        QTest::newRow("leading blanks") << "  00ff00" << false << 0 << 255 << 0;
        QTest::newRow("leading line break") << "\n\t0000ff" << false << 0 << 0 << 255;
        QTest::newRow("trailing letters") << "3c76dbzz" << false << 60 << 118 << 219;
        QTest::newRow("three digits") << "fff" << false << 0 << 15 << 255;
        QTest::newRow("ten F overflow") << "FFFFFFFFFF" << false << 255 << 255 << 255;
        QTest::newRow("eight digits drop the first two") << "80ff0000" << false << 255 << 0 << 0;
        QTest::newRow("0x alone") << "0x" << false << 0 << 0 << 0;
    }

    void colours() {
        QFETCH(QString, code);
        QFETCH(bool, isNull);
        QFETCH(int, red);
        QFETCH(int, green);
        QFETCH(int, blue);
        QCOMPARE(code.isNull(), isNull);
        const QColor color = colorWithHexCode(code);
        QVERIFY(color.isValid());
        QCOMPARE(color.red(), red);
        QCOMPARE(color.green(), green);
        QCOMPARE(color.blue(), blue);
        QCOMPARE(color.alphaF(), 1.0f);
    }
};

QTEST_APPLESS_MAIN(HexColorTest)
#include "tst_hexcolor.moc"
