#include <QRandomGenerator>
#include <QTest>

#include "store/cp1252.h"
#include "store/field_text.h"
#include "search/field_matcher.h"
#include "search/folding.h"

namespace {

// What the search means: the whole field decoded and lower-cased holds the
// lower-cased text.
bool reference(const QByteArray& field, const QString& text) {
    return cp1252::decode(field.constData(), field.size()).toLower().contains(text.toLower());
}

// What each accented letter of the code page folds to, written out here
// rather than worked out as the program does.
QString expectedFolding(QChar ch) {
    static const QList<QPair<QString, QString>> letters = {
        {QStringLiteral("ÀÁÂÃÄÅàáâãäå"), QStringLiteral("a")}, {QStringLiteral("Çç"), QStringLiteral("c")},
        {QStringLiteral("ÈÉÊËèéêë"), QStringLiteral("e")},     {QStringLiteral("ÌÍÎÏìíîï"), QStringLiteral("i")},
        {QStringLiteral("Ññ"), QStringLiteral("n")},           {QStringLiteral("ÒÓÔÕÖØòóôõöø"), QStringLiteral("o")},
        {QStringLiteral("ÙÚÛÜùúûü"), QStringLiteral("u")},     {QStringLiteral("ÝýÿŸ"), QStringLiteral("y")},
        {QStringLiteral("Šš"), QStringLiteral("s")},           {QStringLiteral("Žž"), QStringLiteral("z")},
        {QStringLiteral("Œœ"), QStringLiteral("oe")},          {QStringLiteral("Ææ"), QStringLiteral("ae")},
        {QStringLiteral("ß"), QStringLiteral("ss")},           {QStringLiteral("ƒ"), QStringLiteral("f")},
    };
    for (const auto& [accented, base] : letters) {
        if (accented.contains(ch)) return base;
    }
    return QString(ch).toLower();  // everything else: as the search without accents lowers it
}

}  // namespace

class TestFieldMatcher : public QObject {
    Q_OBJECT
private slots:
    void everyByteLowersLikeItsCharacter() {
        const auto& table = folding::lowerCaseTable();
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

    // The search without regard to accents is the same text search on every
    // card, whatever it holds.
    void keepingAccentsIsTheTextSearchOnAnyField() {
        QRandomGenerator random(1252);
        const QString letters = QStringLiteral("aAeEéÉèœŒ çCÇ?ßsS");
        int found = 0;
        for (int round = 0; round < 3000; ++round) {
            std::array<char, 255> field;
            for (char& byte : field) byte = random.bounded(4) == 0 ? char(random.bounded(256)) : ' ';
            const QByteArray bytes(field.data(), 255);
            QString text;
            for (int i = int(random.bounded(1, 3)); i > 0; --i) text += letters[int(random.bounded(letters.size()))];
            const bool matched = cardsearch::FieldMatcher(text).matches(field);
            QCOMPARE(matched, reference(bytes, text));
            found += matched;
        }
        QVERIFY(found > 100);
    }

    // --- without accents

    void everyByteFoldsToItsBaseLetters() {
        const auto& table = folding::foldingTable();
        for (int b = 0; b < 256; ++b) {
            const QChar ch = cp1252::toUnicode(static_cast<unsigned char>(b));
            const auto& folded = table[std::size_t(b)];
            QString text = cp1252::toUnicode(static_cast<unsigned char>(folded[0]));
            if (folded[1] != '\0') text += cp1252::toUnicode(static_cast<unsigned char>(folded[1]));
            QVERIFY2(text == expectedFolding(ch), qPrintable(QStringLiteral("byte %1 (%2) folds to %3").arg(b).arg(ch).arg(text)));
        }
    }

    // Text folded for comparison, as a table's column names are.
    void textFoldsAsTheTableDoes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("folded");
        QTest::newRow("capitals and accents") << "Entrées Texte CIBLE" << "entrees texte cible";
        QTest::newRow("ligatures and sharp s") << "ŒUVRE, Æsop, Straße" << "oeuvre, aesop, strasse";
        QTest::newRow("outside the code page") << "Kōan Łódź Đorđe" << "koan lodz dorde";
        QTest::newRow("signs stay") << "N° fiche ; 12" << "n° fiche ; 12";
    }
    void textFoldsAsTheTableDoes() {
        QFETCH(QString, text);
        QFETCH(QString, folded);
        QCOMPARE(folding::forComparison(text), folded);
        // Every character of the code page folds as its byte does.
        for (int b = 0; b < 256; ++b) {
            const auto& pair = folding::foldingTable()[std::size_t(b)];
            QString byTable = cp1252::toUnicode(static_cast<unsigned char>(pair[0]));
            if (pair[1] != '\0') byTable += cp1252::toUnicode(static_cast<unsigned char>(pair[1]));
            QCOMPARE(folding::forComparison(cp1252::toUnicode(static_cast<unsigned char>(b))), byTable);
        }
    }

    // Without accents, whether a field matches and which of its bytes the
    // first match covers are those of the field folded whole, the spaces
    // filling it included, a ligature covered whole.
    void ignoringAccentsIsTheSearchOnTheFoldedField() {
        QRandomGenerator random(1998);
        const QString letters = QStringLiteral("aeoEÉèœŒæsSßuR ");
        int found = 0;
        for (int round = 0; round < 5000; ++round) {
            QString fieldText;
            for (int i = int(random.bounded(0, 12)); i > 0; --i) fieldText += letters[int(random.bounded(letters.size()))];
            std::array<char, 16> field;
            fieldtext::store(field, fieldText);
            QString text;
            for (int i = int(random.bounded(1, 4)); i > 0; --i) text += letters[int(random.bounded(letters.size()))];

            // The folded field, each folded letter with the byte it comes from.
            QString folded;
            QList<std::size_t> origin;
            for (std::size_t at = 0; at < field.size(); ++at) {
                const QString letter = folding::forComparison(cp1252::toUnicode(static_cast<unsigned char>(field[at])));
                folded += letter;
                for (qsizetype i = 0; i < letter.size(); ++i) origin.append(at);
            }
            const QString needle = folding::forComparison(text);
            const qsizetype at = folded.indexOf(needle);

            const cardsearch::FieldMatcher matcher(text, cardsearch::Accents::ignored);
            QCOMPARE(matcher.matches(field), at >= 0);
            const auto span = matcher.find(field);
            QCOMPARE(span.has_value(), at >= 0);
            if (at < 0) continue;
            ++found;
            QCOMPARE(span->begin, origin[at]);
            QCOMPARE(span->end, origin[at + needle.size() - 1] + 1);
        }
        QVERIFY(found > 500);
    }

    void accentsAndLigaturesMatchBothWays_data() {
        QTest::addColumn<QString>("fieldText");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("withAccents");
        QTest::addColumn<bool>("withoutAccents");
        QTest::newRow("eleve finds élève") << "l'élève" << "eleve" << false << true;
        QTest::newRow("ÉLÈVE finds eleve") << "eleve" << "ÉLÈVE" << false << true;
        QTest::newRow("oeuvre finds œuvre") << "Œuvre complète" << "oeuvre" << false << true;
        QTest::newRow("cœur finds coeur") << "coeur" << "cœur" << false << true;
        QTest::newRow("a lone o is in œ") << "sœur" << "so" << false << true;
        QTest::newRow("a match may begin inside œ") << "sœur" << "EUR" << false << true;
        QTest::newRow("or inside æ") << "Æsop" << "esop" << false << true;
        QTest::newRow("aesop finds Æsop") << "Æsop" << "aesop" << false << true;
        QTest::newRow("æ finds ae") << "caesura" << "æ" << false << true;
        QTest::newRow("strasse finds Straße") << "Straße" << "strasse" << false << true;
        QTest::newRow("ß finds SS") << "STRASSE" << "straße" << false << true;
        QTest::newRow("facade finds façade") << "façade" << "facade" << false << true;
        QTest::newRow("nino finds niño") << "NIÑO" << "nino" << false << true;
        QTest::newRow("ÿ finds y") << "Ÿ" << "y" << false << true;
        QTest::newRow("a letter outside the code page folds too") << "koan" << "kōan" << false << true;
        QTest::newRow("the same accent matches either way") << "élève" << "élève" << true << true;
        QTest::newRow("a decomposed accent is the letter stored") << "élève" << QStringLiteral("e\u0301le\u0300ve") << true << true;
        QTest::newRow("no match either way") << "chien" << "chat" << false << false;
        QTest::newRow("trailing space meets the filling") << "élan" << "elan " << false << true;
        QTest::newRow("empty text") << "x" << "" << true << true;
    }
    void accentsAndLigaturesMatchBothWays() {
        QFETCH(QString, fieldText);
        QFETCH(QString, text);
        QFETCH(bool, withAccents);
        QFETCH(bool, withoutAccents);
        std::array<char, 255> field;
        fieldtext::store(field, fieldText);
        QCOMPARE(cardsearch::FieldMatcher(text).matches(field), withAccents);
        QCOMPARE(cardsearch::FieldMatcher(text, cardsearch::Accents::ignored).matches(field), withoutAccents);
    }
};

QTEST_GUILESS_MAIN(TestFieldMatcher)
#include "tst_field_matcher.moc"
