#include <QTest>

#include "exchange/number_format.h"

// Cells as a French spreadsheet shows them, by their number format.
class TestNumberFormat : public QObject {
    Q_OBJECT
private slots:
    void aNumberShowsAsTheSheetShowsIt_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("shown");
        const QString nbsp = QStringLiteral("\u00A0");
        // General: the digits a sheet keeps, the shortest that gives them.
        QTest::newRow("a sum the sheet shows 0,3") << 0.30000000000000004 << "General" << "0,3";
        QTest::newRow("an integer") << 1234567.0 << "" << "1234567";
        QTest::newRow("a small fraction") << 0.000001 << "General" << "0,000001";
        QTest::newRow("too many digits") << 123456789012345678.0 << "General" << "1,23456789012346E+17";
        QTest::newRow("negative") << -2.5 << "General" << "-2,5";
        // Digits, decimals, thousands, percent, exponent.
        QTest::newRow("zeros in front") << 1234.0 << "00000" << "01234";
        QTest::newRow("two decimals") << 1.5 << "0.00" << "1,50";
        QTest::newRow("half rounded up as shown") << 1.005 << "0.00" << "1,01";
        QTest::newRow("optional decimals") << 3.0 << "0.0#" << "3,0";
        QTest::newRow("optional decimals used") << 3.14159 << "0.0#" << "3,14";
        QTest::newRow("nothing for a zero integer") << 0.5 << "#.##" << ",5";
        QTest::newRow("thousands") << 1234567.0 << "#,##0" << "1" + nbsp + "234" + nbsp + "567";
        QTest::newRow("thousands and decimals") << 1234567.891 << "#,##0.00" << "1" + nbsp + "234" + nbsp + "567,89";
        QTest::newRow("thousands under a thousand") << 12.0 << "#,##0" << "12";
        QTest::newRow("in millions") << 1234567.0 << "0.0,," << "1,2";
        QTest::newRow("percent") << 0.256 << "0%" << "26%";
        QTest::newRow("percent with decimals") << 0.256 << "0.00%" << "25,60%";
        QTest::newRow("scientific") << 12345.678 << "0.00E+00" << "1,23E+04";
        QTest::newRow("scientific, small") << 0.00012 << "0.0E+00" << "1,2E-04";
        QTest::newRow("digits around a dash") << 123456.0 << "000-000" << "123-456";
        // Sections, literals, currencies.
        QTest::newRow("a negative section") << -5.0 << "0.0;(0.0)" << "(5,0)";
        QTest::newRow("a negative without its section") << -5.0 << "0.0" << "-5,0";
        QTest::newRow("a zero section") << 0.0 << "0.0;-0.0;\"zéro\"" << "zéro";
        QTest::newRow("quoted text") << 5.0 << "\"n° \"0" << "n° 5";
        QTest::newRow("a currency in brackets") << 12.5 << "#,##0.00 [$€-40C]" << "12,50 €";
        QTest::newRow("an accounting format") << 12.5 << "_-* #,##0.00\\ \"€\"_-;\\-* #,##0.00\\ \"€\"_-" << "12,50 €";
        QTest::newRow("a colour") << 7.0 << "[Red]0" << "7";
        // Dates and times, in French, rounded to what is shown.
        QTest::newRow("a date") << 45000.0 << "dd/mm/yyyy" << "15/03/2023";
        QTest::newRow("a time rounding to the next day") << 45000.999995 << "dd/mm/yyyy hh:mm" << "16/03/2023 00:00";
        QTest::newRow("month and day names") << 45000.0 << "dddd d mmmm yyyy" << "mercredi 15 mars 2023";
        QTest::newRow("short names") << 45000.0 << "ddd d mmm yy" << "mer. 15 mars 23";
        QTest::newRow("minutes, not months") << 45000.5125 << "h:mm" << "12:18";
        QTest::newRow("twelve hours") << 45000.75 << "h:mm AM/PM" << "6:00 PM";
        QTest::newRow("elapsed hours") << 1.5 << "[h]:mm" << "36:00";
        QTest::newRow("tenths of a second") << 45000.000011574 << "mm:ss.0" << "00:01,0";
        QTest::newRow("a locale tag") << 45000.25 << "[$-40C]d mmmm yyyy" << "15 mars 2023";
        QTest::newRow("the 1904 system") << 0.0 << "dd/mm/yyyy@1904" << "01/01/1904";
    }
    void aNumberShowsAsTheSheetShowsIt() {
        QFETCH(double, value);
        QFETCH(QString, code);
        QFETCH(QString, shown);
        const bool date1904 = code.endsWith(QLatin1String("@1904"));
        if (date1904) code.chop(5);
        QCOMPARE(numberformat::shown(value, code, date1904), shown);
    }

    // The built-in formats a workbook names by number alone, in French.
    void builtInFormatsAreFrench() {
        QCOMPARE(numberformat::shown(45000.0, numberformat::builtIn(14)), QStringLiteral("15/03/2023"));
        QCOMPARE(numberformat::shown(45000.5, numberformat::builtIn(22)), QStringLiteral("15/03/2023 12:00"));
        QVERIFY(numberformat::isDateOrTime(numberformat::builtIn(22)));
        QVERIFY(!numberformat::isDateOrTime(numberformat::builtIn(4)));
        QVERIFY(!numberformat::isDateOrTime(QStringLiteral("[Red]0.00")));
    }
};

QTEST_GUILESS_MAIN(TestNumberFormat)
#include "tst_number_format.moc"
