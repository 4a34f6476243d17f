#include <QTest>

#include "store/cp1252.h"
#include "store/field_text.h"
#include "windows/consultation/card_search.h"

namespace {

// What the search means: the whole field decoded and lower-cased holds the
// lower-cased text.
bool reference(const QByteArray& field, const QString& text) {
    return cp1252::decode(field.constData(), field.size()).toLower().contains(text.toLower());
}

}  // namespace

class TestCardSearch : public QObject {
    Q_OBJECT
private slots:
    void everyByteLowersLikeItsCharacter() {
        const auto& table = cardsearch::FieldMatcher::lowerCaseTable();
        for (int b = 0; b < 256; ++b) {
            const QString lowered = QString(cp1252::toUnicode(static_cast<unsigned char>(b))).toLower();
            QCOMPARE(QString(cp1252::toUnicode(static_cast<unsigned char>(table[std::size_t(b)]))), lowered);
        }
    }

    void matchesAsDecodingAndLowerCasingWould_data() {
        QTest::addColumn<QString>("fieldText");
        QTest::addColumn<QString>("text");
        QTest::newRow("capitals") << "Chat noir" << "CHAT";
        QTest::newRow("accented capitals") << "ÉLAN" << "élan";
        QTest::newRow("ligature") << "Œuvre" << "œu";
        QTest::newRow("Y diaeresis") << "Ÿ" << "ÿ";
        QTest::newRow("trailing space meets the filling") << "abc" << "abc ";
        QTest::newRow("no match") << "chien" << "chat";
        QTest::newRow("outside the code page") << "abc" << "☃";
        QTest::newRow("Kelvin sign lowers to k") << "kilo" << QString(QChar(0x212A));
        QTest::newRow("empty") << "x" << "";
        QTest::newRow("longer than the field") << "a" << QString(256, u'a');
        QTest::newRow("question mark") << "quoi ?" << "?";
    }
    void matchesAsDecodingAndLowerCasingWould() {
        QFETCH(QString, fieldText);
        QFETCH(QString, text);
        std::array<char, 255> field;
        fieldtext::store(field, fieldText);
        const QByteArray bytes(field.data(), 255);
        QCOMPARE(cardsearch::FieldMatcher(text).matches(field), reference(bytes, text));
    }
};

QTEST_GUILESS_MAIN(TestCardSearch)
#include "tst_card_search.moc"
