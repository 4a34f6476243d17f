#include <QTest>

#include "store/cp1252.h"

class TestCp1252 : public QObject {
    Q_OBJECT
private slots:
    void everyByteSurvivesARoundTrip() {
        for (int b = 0; b < 256; ++b) {
            const QChar ch = cp1252::toUnicode(static_cast<unsigned char>(b));
            QCOMPARE(static_cast<unsigned char>(cp1252::fromUnicode(ch.unicode())), b);
        }
    }

    void everyByteDecodesToItsCharacter_data() {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("unicode");
        QTest::newRow("NUL") << 0x00 << 0x0000;
        QTest::newRow("A") << 0x41 << 0x0041;
        QTest::newRow("euro") << 0x80 << 0x20AC;
        QTest::newRow("undefined 81") << 0x81 << 0x0081;
        QTest::newRow("low quote") << 0x82 << 0x201A;
        QTest::newRow("ellipsis") << 0x85 << 0x2026;
        QTest::newRow("OE") << 0x8C << 0x0152;
        QTest::newRow("undefined 8D") << 0x8D << 0x008D;
        QTest::newRow("right quote") << 0x92 << 0x2019;
        QTest::newRow("em dash") << 0x97 << 0x2014;
        QTest::newRow("oe") << 0x9C << 0x0153;
        QTest::newRow("Y diaeresis") << 0x9F << 0x0178;
        QTest::newRow("nbsp") << 0xA0 << 0x00A0;
        QTest::newRow("e acute") << 0xE9 << 0x00E9;
        QTest::newRow("y diaeresis") << 0xFF << 0x00FF;
    }
    void everyByteDecodesToItsCharacter() {
        QFETCH(int, byte);
        QFETCH(int, unicode);
        QCOMPARE(cp1252::toUnicode(static_cast<unsigned char>(byte)).unicode(), unicode);
        QCOMPARE(static_cast<unsigned char>(cp1252::fromUnicode(char16_t(unicode))), byte);
    }

    void everyCharacterOutsideTheCodePageBecomesAQuestionMark() {
        int representable = 0;
        for (int u = 0; u < 0x10000; ++u) {
            if (u >= 0xD800 && u < 0xE000) continue;
            const char b = cp1252::fromUnicode(char16_t(u));
            if (b == '?' && u != '?') continue;
            ++representable;
            QCOMPARE(cp1252::toUnicode(static_cast<unsigned char>(b)).unicode(), u);
        }
        QCOMPARE(representable, 256);
    }

    void encodesAWholeText() {
        const QByteArray bytes = cp1252::encode(QStringLiteral("Été « œuvre » — 10 € 😀 ☃"));
        QCOMPARE(bytes, QByteArray("\xC9t\xE9 \xAB \x9Cuvre \xBB \x97 10 \x80 ? ?"));
        QCOMPARE(cp1252::decode(bytes.constData(), bytes.size()), QStringLiteral("Été « œuvre » — 10 € ? ?"));
    }
};

QTEST_APPLESS_MAIN(TestCp1252)
#include "tst_cp1252.moc"
