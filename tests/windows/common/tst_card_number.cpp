#include <QTest>

#include "windows/common/card_number.h"

class TestCardNumber : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void forSaving_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("slot");  // 0: refused
        QTest::newRow("1") << "1" << 1;
        QTest::newRow("32767") << "32767" << 32767;
        QTest::newRow("2,5 to even") << "2,5" << 2;
        QTest::newRow("0,5 to even is 0") << "0,5" << 0;
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("-1") << "-1" << 0;
        QTest::newRow("32768") << "32768" << 0;
        QTest::newRow("1e10") << "1e10" << 0;
        QTest::newRow("2.5 under French settings") << "2.5" << 0;
        QTest::newRow("spaces") << "   " << 0;
    }
    void forSaving() {
        QFETCH(QString, text);
        QFETCH(int, slot);
        QString error;
        const auto number = cardnumber::forSaving(text, error);
        QCOMPARE(number ? number->slot : 0, slot);
        if (number) QCOMPARE(int(number->numero), slot);
        QCOMPARE(error.isEmpty(), bool(number));
    }

    void englishSettingsReadThePoint() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QString error;
        QCOMPARE(cardnumber::forSaving(QStringLiteral("2.5"), error)->slot, 2);
        QCOMPARE(cardnumber::forSaving(QStringLiteral("3.5"), error)->slot, 4);
        QVERIFY(!cardnumber::forSaving(QStringLiteral("2,5"), error));
        QVERIFY(!cardnumber::forSaving(QStringLiteral("1e10"), error));
    }

    void browseTargets() {
        QString error;
        QCOMPARE(cardnumber::browseTarget(QStringLiteral("5"), -1, error), 4);
        QCOMPARE(cardnumber::browseTarget(QStringLiteral("3,5"), -1, error), 2);
        QCOMPARE(cardnumber::browseTarget(QStringLiteral("4,5"), +1, error), 6);
        QVERIFY(!cardnumber::browseTarget(QStringLiteral("1"), -1, error));
        QVERIFY(error.contains(QStringLiteral("avant")));
        QVERIFY(!cardnumber::browseTarget(QStringLiteral("x"), +1, error));
    }
};

QTEST_MAIN(TestCardNumber)
#include "tst_card_number.moc"
