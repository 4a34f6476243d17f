#include <QTest>

#include "store/number_text.h"

class TestNumberText : public QObject {
    Q_OBJECT
private slots:
    void readsWithTheRegionalSettings_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");  // -99999: not a number or out of range
        const int invalid = -99999;
        QTest::newRow("fr plain") << "fr_FR" << "12" << 12;
        QTest::newRow("fr spaces") << "fr_FR" << " 12 " << 12;
        QTest::newRow("fr 2,5 to even") << "fr_FR" << "2,5" << 2;
        QTest::newRow("fr 3,5 to even") << "fr_FR" << "3,5" << 4;
        QTest::newRow("fr 2,6") << "fr_FR" << "2,6" << 3;
        QTest::newRow("fr -2,5") << "fr_FR" << "-2,5" << -2;
        QTest::newRow("fr 2.5 refused") << "fr_FR" << "2.5" << invalid;
        QTest::newRow("en 2.5 to even") << "en_US" << "2.5" << 2;
        QTest::newRow("en 0.5 to even") << "en_US" << "0.5" << 0;
        QTest::newRow("en 1.5 to even") << "en_US" << "1.5" << 2;
        QTest::newRow("en 2,5 refused") << "en_US" << "2,5" << invalid;
        QTest::newRow("empty") << "fr_FR" << "" << invalid;
        QTest::newRow("spaces") << "fr_FR" << "   " << invalid;
        QTest::newRow("letters") << "fr_FR" << "douze" << invalid;
        QTest::newRow("32767") << "fr_FR" << "32767" << 32767;
        QTest::newRow("32767,4") << "fr_FR" << "32767,4" << 32767;
        QTest::newRow("32767,5 overflows") << "fr_FR" << "32767,5" << invalid;
        QTest::newRow("32768") << "fr_FR" << "32768" << invalid;
        QTest::newRow("-32768") << "fr_FR" << "-32768" << -32768;
        QTest::newRow("-32769") << "fr_FR" << "-32769" << invalid;
        QTest::newRow("1e10") << "en_US" << "1e10" << invalid;
        QTest::newRow("infinity") << "en_US" << "inf" << invalid;
    }
    void readsWithTheRegionalSettings() {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(int, expected);
        const auto value = numbertext::toInt16(text, QLocale(locale));
        QCOMPARE(value ? int(*value) : -99999, expected);
    }

    void thirtyTwoBitsTakeLargerNumbers() {
        QCOMPARE(numbertext::toInt32(QStringLiteral("32768"), QLocale(QLocale::French)), 32768);
        QCOMPARE(numbertext::toInt32(QStringLiteral("2147483647"), QLocale(QLocale::French)), 2147483647);
        QVERIFY(!numbertext::toInt32(QStringLiteral("2147483648"), QLocale(QLocale::French)));
    }

    void numeroAsText() {
        QCOMPARE(numbertext::fromNumero(258), QStringLiteral("258"));
        QCOMPARE(numbertext::fromNumero(-12), QStringLiteral("-12"));
        QCOMPARE(numbertext::fromNumero(0), QStringLiteral("0"));
        // Both ends of the 16-bit range, whichever way each is made.
        QCOMPARE(numbertext::fromNumero(32767), QStringLiteral("32767"));
        QCOMPARE(numbertext::fromNumero(-32768), QStringLiteral("-32768"));
    }
};

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_number_text.moc"
